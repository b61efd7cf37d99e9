// Stored paths checked against the planned ones before any file is deleted by them.

#include "setup/rules/StoredPath.h"

#include "setup/rules/ProgramPathSet.h"
#include "text/TextPrimitives.h"

namespace {

// Units a and b (n of each) equal without regard to case.
bool SameIgnoringCase(const WChar* a, const WChar* b, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    if (ToUpperChar(a[i]) != ToUpperChar(b[i])) return false;
  }
  return true;
}

// The index of the extension's dot in the last `nameLength` units of `path`, or -1.
int32_t ExtensionAt(const WString& path, int32_t nameLength) {
  const int32_t dot = FindUnitLast(path.WideAt(0), WTEXT('.'), path.Length(), 0);
  return dot >= path.Length() - nameLength ? dot : -1;
}

}  // namespace

int IsStoredPathUsable(const WString& stored, const WString& planned) {
  WString s, p, name, plannedName;
  if (!s.AssignAsWide(&stored) || !p.AssignAsWide(&planned) || p.IsEmpty()) return 0;
  // A plain name (no stream, no ".."), in the planned item's folder.
  if (!OwnFileName(s.WideAt(0), name) || !OwnFileName(p.WideAt(0), plannedName)) return 0;
  const int32_t folder = s.Length() - name.Length();
  if (folder != p.Length() - plannedName.Length() || folder < 2 ||
      !SameIgnoringCase(s.WideAt(0), p.WideAt(0), folder)) {
    return 0;
  }
  // The same kind of file: a damaged record must not name a user's document
  // in a shared folder such as the common desktop.
  const int32_t dot = ExtensionAt(s, name.Length());
  const int32_t plannedDot = ExtensionAt(p, plannedName.Length());
  if (dot < 0 || plannedDot < 0 || s.Length() - dot != p.Length() - plannedDot) return 0;
  return SameIgnoringCase(s.WideAt(dot), p.WideAt(plannedDot), s.Length() - dot) ? 1 : 0;
}
