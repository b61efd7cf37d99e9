// LocaleList: the enumeration of installed locales into the language list.

#include "ui/LocaleList.h"

#include "setup/rules/LocaleListing.h"
#include "text/Memory.h"

namespace {

constexpr int32_t kNameCapacity = 1024;

// Static storage: every pointer and count starts at zero.
LocaleListState g_state;

void FreeNameBuffer() {
  FreeBlock(g_state.nameBuffer);
  g_state.nameBuffer = nullptr;
}

void FreeLayouts() {
  FreeBlock(g_state.layouts);
  g_state.layouts = nullptr;
  g_state.layoutCount = 0;
}

// Called once per installed locale; FALSE stops the enumeration.
BOOL CALLBACK AddLocale(LPWSTR localeText) {
  if (localeText == nullptr || g_state.list == nullptr || g_state.nameBuffer == nullptr) return FALSE;
  uint32_t locale = 0;
  if (!ParseLocaleId(reinterpret_cast<const WChar*>(localeText), locale)) return FALSE;
  // HKL values as numbers: the language is each handle's low word.
  const uintptr_t* layouts = reinterpret_cast<const uintptr_t*>(g_state.layouts);
  if (!IsLocaleListed(locale, g_state.selected, layouts, g_state.layoutCount)) return TRUE;
  if (GetLocaleInfoW(locale, LOCALE_SLANGUAGE, reinterpret_cast<LPWSTR>(g_state.nameBuffer),
                     g_state.nameCapacity - 1) == 0) {
    return FALSE;
  }
  const LRESULT index = SendMessageW(g_state.list, CB_ADDSTRING, 0,
                                     reinterpret_cast<LPARAM>(g_state.nameBuffer));
  if (index == CB_ERR || index == CB_ERRSPACE) return FALSE;
  /* result ignored: an item without its data selects nothing */
  SendMessageW(g_state.list, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(locale));
  if (locale == g_state.selected) {
    /* result ignored: the name stays empty without memory */
    g_state.selectedName.AssignWide(g_state.nameBuffer, -1);
  }
  return TRUE;
}

}  // namespace

static_assert(sizeof(HKL) == sizeof(uintptr_t), "layout handles are read as numbers");

void ReleaseLocaleBuffers() {
  FreeNameBuffer();
  g_state.nameCapacity = 0;
  FreeLayouts();
}

void ForgetLocaleList() {
  ReleaseLocaleBuffers();
  g_state.selected = 0;
  g_state.list = nullptr;
}

int FillLocaleList(HWND list, uint16_t selected) {
  if (list == nullptr) return 0;
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  FreeNameBuffer();
  g_state.nameCapacity = kNameCapacity;
  g_state.nameBuffer = static_cast<WChar*>(AllocateBlock(sizeof(WChar) * kNameCapacity));
  FreeLayouts();
  const int count = GetKeyboardLayoutList(0, nullptr);
  if (count <= 0) return 0;
  g_state.layouts = static_cast<HKL*>(AllocateBlock(sizeof(HKL) * static_cast<size_t>(count)));
  g_state.layoutCount = count;
  g_state.selected = selected;
  g_state.list = list;
  // A layout loaded since the count only shortens what is read.
  const int read = GetKeyboardLayoutList(count, g_state.layouts);
  if (read <= 0) return 0;
  g_state.layoutCount = read < count ? read : count;
  if (!EnumSystemLocalesW(AddLocale, LCID_INSTALLED)) {
    ReleaseLocaleBuffers();
    return 0;
  }
  FreeNameBuffer();
  const LRESULT items = SendMessageW(list, CB_GETCOUNT, 0, 0);
  if (items == CB_ERR) return 0;
  for (LRESULT i = 0; i < items; ++i) {
    const LRESULT data = SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    if (data != CB_ERR && static_cast<uint32_t>(data) == selected) {
      /* result ignored: the index exists */ SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
      break;
    }
  }
  return 1;
}

const WString& SelectedLocaleName() { return g_state.selectedName; }
