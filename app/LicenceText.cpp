// InstallerApp::licenceText: the licence of the wizard's current language,
// read from the payload each time the licence page is built.

#include "app/InstallerApp.h"
#include "payload/PayloadStore.h"

int InstallerApp::licenceText(WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (static_cast<uint32_t>(languageIndex) >= static_cast<uint32_t>(kInterfaceLanguageCount)) {
    return 0;
  }
  const StoredEntry& entry = kPayloadStore.licences[languageIndex];
  if (entry.bytes == nullptr || !keyBlock.extractText(entry.bytes, entry.length, &out) ||
      out.ToWide(out.CodePage()) == nullptr) {
    // A licence that does not decipher or is not UTF-8 leaves the box empty.
    out.AssignWide(WTEXT(""), 0);
    return 0;
  }
  return 1;
}
