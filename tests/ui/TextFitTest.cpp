// Every page of both faces in both languages at the display's DPI (the
// prefix's LogPixels: tests/ui/run_dpi.sh runs this at 144 and 192): each
// static's and button's text, measured with its own font, fits the control,
// and the frame fits the work area. With KESTREL_SHOT_DIR set, a picture of
// each page is saved there as a bitmap.

#include <gtest/gtest.h>

#include <windows.h>

#include <stdlib.h>

#include <string>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "ui/WindowBase.h"
#include "ui/WizardController.h"

namespace {

constexpr UINT kTickMs = 40;
constexpr int kMaxTicks = 750;  // 30 s

// The pages in the order they are shown, and their names in the pictures.
enum PageKind { kWelcomePage, kLicencePage, kOptionsPage, kKeysPage, kRemapPage, kFinishPage,
                kPageKinds };
const char* const kPageNames[kPageKinds] = {"welcome", "licence", "options", "keys", "remap",
                                            "finish"};

struct Tour {
  InstallerApp* app;
  WizardController* wizard;
  const char* face;
  int next;      // the page to show at the next tick
  int checked;   // pages whose controls were measured
  int ticks;
  HWND shown;    // the page window last measured
};
Tour g_tour;

// The text a control needs, as DrawText lays it out in `width` pixels.
SIZE NeededSize(HWND control, const std::wstring& text, int width, UINT flags) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT area = {0, 0, width, 0};
  DrawTextW(dc, text.c_str(), -1, &area, flags | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return SIZE{area.right, area.bottom};
}

BOOL CALLBACK CheckControl(HWND control, LPARAM) {
  if (!IsWindowVisible(control)) return TRUE;
  wchar_t className[32] = L"";
  GetClassNameW(control, className, 32);
  wchar_t buffer[2048] = L"";
  GetWindowTextW(control, buffer, 2048);
  const std::wstring text = buffer;
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  RECT client;
  GetClientRect(control, &client);
  int width = client.right, height = client.bottom;
  UINT flags = DT_WORDBREAK | DT_EXPANDTABS;
  if (text.empty()) return TRUE;
  if (lstrcmpiW(className, L"Static") == 0) {
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
        type != SS_SIMPLE) {
      return TRUE;  // a picture or a frame, no text to fit
    }
    if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) flags = DT_SINGLELINE | DT_EXPANDTABS;
    if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
  } else if (lstrcmpiW(className, L"Button") == 0) {
    const LONG type = style & BS_TYPEMASK;
    if (!(style & BS_MULTILINE)) flags = DT_SINGLELINE;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
        type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
      width -= GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
    } else if (type == BS_GROUPBOX) {
      width -= 2 * GetSystemMetrics(SM_CXEDGE) + 8;  // the caption sits on the frame's top line
    } else {
      width -= 4 * GetSystemMetrics(SM_CXEDGE);  // the push button's border and focus frame
      height -= 2 * GetSystemMetrics(SM_CYEDGE);
    }
  } else {
    return TRUE;  // lists and the licence's edit box scroll
  }
  const SIZE needed = NeededSize(control, text, width, flags);
  EXPECT_LE(needed.cx, width) << g_tour.face << " " << kPageNames[g_tour.next - 1] << ", control "
                              << GetDlgCtrlID(control) << ": the text is wider than the control";
  EXPECT_LE(needed.cy, height) << g_tour.face << " " << kPageNames[g_tour.next - 1]
                               << ", control " << GetDlgCtrlID(control)
                               << ": the text is taller than the control";
  return TRUE;
}

// A picture of the frame as the screen shows it, as a 24-bit bitmap file.
void SaveFramePicture(HWND frame, const std::string& path) {
  RECT on;
  GetWindowRect(frame, &on);
  const int width = on.right - on.left, height = on.bottom - on.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, screen, on.left, on.top, SRCCOPY);
  GdiFlush();
  const DWORD rowBytes = (width * 3 + 3) & ~3u, imageBytes = rowBytes * height;
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
  header.bfSize = header.bfOffBits + imageBytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, &header, sizeof(header), &written, nullptr);
    WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr);
    WriteFile(file, bits, imageBytes, &written, nullptr);
    CloseHandle(file);
  }
  SelectObject(memory, old);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

void ShowPage(WizardController& wizard, int kind) {
  switch (kind) {
    case kWelcomePage: wizard.showWelcome(); break;
    case kLicencePage: wizard.showLicence(); break;
    case kOptionsPage: wizard.showOptions(); break;
    case kKeysPage: wizard.showKeyAssignment(); break;
    case kRemapPage: wizard.showKeyRemap(); break;
    default: wizard.showFinish(); break;
  }
}

void CALLBACK TourStep(HWND, UINT, UINT_PTR, DWORD) {
  HWND frame = g_tour.wizard->frameWindow();
  WindowBase* shown = g_tour.wizard->shownPage();
  if (++g_tour.ticks > kMaxTicks) {
    ADD_FAILURE() << "the tour stopped at page " << g_tour.next;
    DestroyWindow(frame);
    return;
  }
  if (shown == nullptr || frame == nullptr) return;
  if (g_tour.next > 0 && shown->handle() != g_tour.shown) {
    g_tour.shown = shown->handle();
    UpdateWindow(frame);
    EnumChildWindows(shown->handle(), CheckControl, 0);
    ++g_tour.checked;
    if (const char* folder = getenv("KESTREL_SHOT_DIR")) {
      SaveFramePicture(frame, std::string(folder) + "\\" + g_tour.face + "-" +
                                  kPageNames[g_tour.next - 1] + ".bmp");
    }
  }
  if (g_tour.next == kPageKinds) {
    DestroyWindow(frame);
    return;
  }
  ShowPage(*g_tour.wizard, g_tour.next++);
}

class TextFit : public ::testing::TestWithParam<int> {};

// Parameter: language index * 2 + installed face.
TEST_P(TextFit, EveryPageFitsItsTextsAndTheWorkArea) {
  InstallerApp app;
  ASSERT_TRUE(app.initialise(GetModuleHandleW(nullptr)));
  app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId);
  const int language = GetParam() / 2, installed = GetParam() % 2;
  InstallerAppProbe::languageIndex(app) = language;
  InstallerAppProbe::installedVersion(app) = installed ? 180 : 0;
  WizardController* wizard = app.getWizard();
  ASSERT_NE(wizard, nullptr);
  static std::string face;
  face = std::string(installed ? "installed-" : "") + (language ? "pl" : "en");
  g_tour = {&app, wizard, face.c_str(), 0, 0, 0, nullptr};
  const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, TourStep);
  ASSERT_NE(timer, 0u);
  wizard->runWizard();
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_tour.checked, kPageKinds) << "every page was shown and measured";
}

RECT g_frameOnScreen;

void CALLBACK MeasureFrame(HWND, UINT, UINT_PTR, DWORD) {
  HWND frame = g_tour.wizard->frameWindow();
  if (frame == nullptr || g_tour.wizard->shownPage() == nullptr) return;
  GetWindowRect(frame, &g_frameOnScreen);
  DestroyWindow(frame);
}

TEST(FrameSize, FitsTheWorkArea) {
  InstallerApp app;
  ASSERT_TRUE(app.initialise(GetModuleHandleW(nullptr)));
  app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId);
  WizardController* wizard = app.getWizard();
  ASSERT_NE(wizard, nullptr);
  g_frameOnScreen = RECT{0, 0, 0, 0};
  g_tour = {&app, wizard, "frame", kPageKinds, 0, 0, nullptr};
  const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, MeasureFrame);
  ASSERT_NE(timer, 0u);
  wizard->runWizard();
  KillTimer(nullptr, timer);
  RECT work;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_GT(g_frameOnScreen.right - g_frameOnScreen.left, 0);
  EXPECT_LE(g_frameOnScreen.right - g_frameOnScreen.left, work.right - work.left);
  EXPECT_LE(g_frameOnScreen.bottom - g_frameOnScreen.top, work.bottom - work.top);
}

INSTANTIATE_TEST_SUITE_P(FacesAndLanguages, TextFit, ::testing::Values(0, 1, 2, 3));

}  // namespace
