// WizardController: the font, the frame, the message loop, the pages' slots
// and the message boxes.

#include "ui/WizardController.h"

#include <string.h>

#include <new>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "res/resource.h"
#include "ui/FinishPage.h"
#include "ui/KeyAssignmentPage.h"
#include "ui/KeyRemapPage.h"
#include "ui/LicencePage.h"
#include "ui/MainWindow.h"
#include "ui/OptionsPage.h"
#include "ui/WelcomePage.h"

namespace {

constexpr DWORD kFrameStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// The first page then sizes the frame to fit (WindowBase::fitToFrame).
constexpr int32_t kFrameStartWidth = 500;
constexpr int32_t kFrameStartHeight = 400;

// Deletes a window object; its virtual destructor destroys a window still bound.
void DeleteWindowObject(WindowBase* object) { delete object; }

}  // namespace

int WizardController::initialise(HINSTANCE newInstance) {
  instance = newInstance;
  if (app == nullptr || newInstance == nullptr) return 0;
  // The program is DPI-aware (its manifest): what it draws itself follows the
  // display's DPI, as the dialogs' units do.
  HDC screen = GetDC(nullptr);
  if (screen != nullptr) {
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    /* result ignored: the screen's DC is the system's */ ReleaseDC(nullptr, screen);
  }
  LOGFONTW face;
  memset(&face, 0, sizeof(face));
  face.lfHeight = -PlaceHeader(dpi).fontHeight;  // a character height in pixels
  face.lfWeight = FW_BOLD;
  lookupText(kHeaderFontFaceId);
  const int32_t faceLength = text.Length() < LF_FACESIZE ? text.Length() : LF_FACESIZE - 1;
  memcpy(face.lfFaceName, text.WideAt(0), static_cast<size_t>(faceLength) * sizeof(WChar));
  // A font that cannot be made leaves the system font in the header.
  if (headerFont == nullptr) headerFont = CreateFontIndirectW(&face);
  return 1;
}

int WizardController::runWizard() {
  if (mainWindow != nullptr) return 0;  // a wizard is already running
  mainWindow = new (std::nothrow) MainWindow();
  if (mainWindow == nullptr) return 0;
  mainWindow->setController(this);
  // Without a frame no message would ever end the loop below: the wizard ends
  // at once instead, and the frame object goes with teardown.
  if (!mainWindow->registerClass() ||
      !mainWindow->createWindow(kMessageBoxCaptionId, kFrameStyle, kFrameStartWidth,
                                kFrameStartHeight)) {
    WindowBase* unused = mainWindow;
    mainWindow = nullptr;
    DeleteWindowObject(unused);
    return 0;
  }
  // The frame object goes at its window's last message, while the window
  // still holds the class; the class is released here once the window is gone.
  const ATOM frameClass = mainWindow->registeredClass();
  // Without the table Escape reaches the page's dialog manager only.
  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (currentPage != nullptr) {
      HWND page = currentPage->handle();
      // Escape goes to the page's dialog manager like every key: an open
      // drop-down list closes, else the page gets command 2 (IDCANCEL), which
      // no page control has, so it changes nothing.
      if (page != nullptr && IsDialogMessageW(page, &message)) continue;
      if (mainWindow == nullptr) continue;
      if (accelerators != nullptr &&
          TranslateAcceleratorW(mainWindow->handle(), accelerators, &message)) {
        continue;
      }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (mainWindow == nullptr) {
    /* result ignored: a class that stays goes with the process */
    UnregisterClassW(MAKEINTATOM(frameClass), instance);
  }
  return 1;
}

void WizardController::teardown() {
  if (headerFont != nullptr) /* result ignored: nothing else holds it */ DeleteObject(headerFont);
  headerFont = nullptr;
  currentPage = nullptr;
  // Each slot is cleared before its object goes, so the releaseWindow that a
  // window still bound sends on its way out finds nothing to delete twice.
  WindowBase* const objects[] = {welcomePage, licencePage, optionsPage, keyAssignmentPage,
                                 keyRemapPage, finishPage, mainWindow};
  welcomePage = nullptr;
  licencePage = nullptr;
  optionsPage = nullptr;
  keyAssignmentPage = nullptr;
  keyRemapPage = nullptr;
  finishPage = nullptr;
  mainWindow = nullptr;
  for (WindowBase* object : objects) DeleteWindowObject(object);
}

void WizardController::releaseWindow(WindowBase* object) {
  if (object == nullptr) return;
  if (object == currentPage) currentPage = nullptr;
  // The slots in a fixed order; the first that holds the object lets it go.
  if (object == mainWindow) {
    mainWindow = nullptr;
  } else if (object == welcomePage) {
    welcomePage = nullptr;
  } else if (object == licencePage) {
    licencePage = nullptr;
  } else if (object == optionsPage) {
    optionsPage = nullptr;
  } else if (object == keyAssignmentPage) {
    keyAssignmentPage = nullptr;
  } else if (object == keyRemapPage) {
    keyRemapPage = nullptr;
  } else if (object == finishPage) {
    finishPage = nullptr;
  } else {
    return;  // not the controller's
  }
  DeleteWindowObject(object);
}

int WizardController::showPage(int32_t templateId, WindowBase* page) {
  if (page == nullptr) return 0;
  if (currentPage != nullptr) {
    // Its WM_NCDESTROY releases the old page's object and clears currentPage.
    /* result ignored: a page that will not go stays behind the new one */
    currentPage->destroyWindow();
  }
  currentPage = page;
  page->setController(this);
  /* result ignored: a page without a window stays current, and the frame still closes */
  page->createDialogPage(templateId, frameWindow());
  return 1;
}

// The openers: a page already shown is not made twice.
int WizardController::showWelcome() {
  if (welcomePage != nullptr) return 0;
  welcomePage = new (std::nothrow) WelcomePage();
  return showPage(IDD_WELCOME, welcomePage);
}

int WizardController::showLicence() {
  if (licencePage != nullptr) return 0;
  licencePage = new (std::nothrow) LicencePage();
  return showPage(IDD_LICENCE, licencePage);
}

int WizardController::showOptions() {
  if (optionsPage != nullptr) return 0;
  optionsPage = new (std::nothrow) OptionsPage();
  return showPage(IDD_OPTIONS, optionsPage);
}

int WizardController::showKeyAssignment() {
  if (keyAssignmentPage != nullptr) return 0;
  keyAssignmentPage = new (std::nothrow) KeyAssignmentPage();
  return showPage(IDD_KEY_ASSIGNMENT, keyAssignmentPage);
}

int WizardController::showKeyRemap() {
  if (keyRemapPage != nullptr) return 0;
  keyRemapPage = new (std::nothrow) KeyRemapPage();
  return showPage(IDD_KEY_REMAP, keyRemapPage);
}

int WizardController::showFinish() {
  if (finishPage != nullptr) return 0;
  finishPage = new (std::nothrow) FinishPage();
  return showPage(IDD_FINISH, finishPage);
}

HWND WizardController::frameWindow() const {
  return mainWindow != nullptr ? mainWindow->handle() : nullptr;
}

void WizardController::repaintHeader() const {
  HWND frame = frameWindow();
  if (frame == nullptr) return;
  RECT band = {0, 0, 0, 0};
  /* result ignored: an empty rectangle repaints nothing */ GetClientRect(frame, &band);
  if (bandHeight > 0) band.bottom = bandHeight;
  /* result ignored: the band then follows at the next repaint */ InvalidateRect(frame, &band, TRUE);
}

void WizardController::disablePage() {
  HWND page = currentPage != nullptr ? currentPage->handle() : nullptr;
  if (page == nullptr) return;
  for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    EnableWindow(child, FALSE);
  }
}

// ---- Texts and messages -----------------------------------------------------------------

int WizardController::lookupTextInto(uint32_t id, WString& out) {
  if (app == nullptr) {
    out.AssignWide(WTEXT(""), 0);
    return 0;
  }
  return app->loadText(id, out);
}

int WizardController::showMessageText(const WChar* message, uint32_t type) {
  WString caption;
  /* result ignored: a missing caption gives the system's default */
  lookupTextInto(kMessageBoxCaptionId, caption);
  return MessageBoxW(frameWindow(), message, caption.WideAt(0), type);
}

int WizardController::showMessage(uint32_t id, uint32_t type) {
  WString message;
  /* result ignored: a missing text shows an empty box, as the caller asked for one */
  lookupTextInto(id, message);
  return showMessageText(message.WideAt(0), type);
}
