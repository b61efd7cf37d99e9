// MainWindow: the frame's class, creation, header painting, close question and
// the page changes the pages ask for.

#include "ui/MainWindow.h"

#include "payload/StringIds.h"
#include "res/resource.h"
#include "ui/GdiGuards.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

constexpr COLORREF kHeaderTextColour = RGB(128, 128, 128);
const WChar kTallestCharacter[] = {0x00D3, 0};

}  // namespace

// ---- Overridables ----------------------------------------------------------------

int MainWindow::onMessage() {
  if (WindowBase::onMessage()) return 1;
  switch (message) {
    case WM_ACTIVATE:
      return onActivate();
    case kCloseRequest:
      return requestClose();
    case kGoBack:
      return onBack();
    case kGoNext:
      return onNext();
    case kShowOptions:
      return onShowOptions();
    case kShowKeyAssignment:
      return onShowKeyAssignment();
    case kShowKeyRemap:
      return onShowKeyRemap();
    case kShowFinish:
      return onShowFinish();
    case kRestartAndClose:
      return onRestartAndClose();
    default:
      return 0;
  }
}

int MainWindow::onActivate() {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    focusBeforeDeactivation = (focus != nullptr && IsChild(window, focus)) ? focus : nullptr;
    return 0;
  }
  HWND focus = focusBeforeDeactivation;
  focusBeforeDeactivation = nullptr;
  // A page changed while inactive may have destroyed the control.
  if (focus == nullptr || !IsWindow(focus) || !IsChild(window, focus) || IsIconic(window)) {
    return 0;
  }
  SetFocus(focus);
  result = 0;
  return 1;
}

int MainWindow::onCreate() {
  if (controller == nullptr) return 0;
  // The frame is bound already (WM_NCCREATE), so the page finds its parent.
  /* result ignored: a page that fails leaves the frame, which still closes */
  controller->showWelcome();
  return 1;
}

int MainWindow::onPaint() {
  PaintGuard paint(window);
  if (paint.get() != nullptr) paintHeader(paint.get());
  return 1;
}

int MainWindow::onDestroy() {
  if (headerIcon != nullptr) /* result ignored: nothing else holds it */ DestroyIcon(headerIcon);
  headerIcon = nullptr;
  PostQuitMessage(0);
  return 1;
}

int MainWindow::onClose() {
  if (controller == nullptr) return 0;
  if (controller->wizardStep() == kWizardOverStep ||
      controller->showMessage(kQuitQuestionId, MB_YESNO | MB_ICONQUESTION) == IDYES) {
    /* result ignored: the frame is gone or going */ DestroyWindow(window);
  }
  return 1;
}

int MainWindow::requestClose() {
  /* result ignored: a window without a queue is already closing */
  PostMessageW(window, WM_CLOSE, 0, 0);
  return 0;
}

// ---- Frame operations -------------------------------------------------------------

int MainWindow::onRestartAndClose() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  // Set before WM_CLOSE is handled; the finish page has set step 6, so the
  // frame closes without a question.
  controller->setRestartRequested(1);
  /* result ignored: see requestClose */ PostMessageW(window, WM_CLOSE, 0, 0);
  return 1;
}

int MainWindow::onShowFinish() {
  if (controller != nullptr) /* result ignored: shown or already shown */ controller->showFinish();
  return 1;
}

int MainWindow::onBack() {
  if (controller == nullptr) return 1;
  switch (controller->wizardStep()) {
    case kLicenceStep:
      /* result ignored: see onShowFinish */ controller->showWelcome();
      break;
    case kOptionsStep:
      /* result ignored: see onShowFinish */ controller->showLicence();
      break;
    default:
      break;
  }
  return 1;
}

int MainWindow::onNext() {
  if (controller == nullptr) return 1;
  switch (controller->wizardStep()) {
    case kWelcomeStep:
      /* result ignored: see onShowFinish */ controller->showLicence();
      break;
    case kLicenceStep:
      /* result ignored: see onShowFinish */ controller->showOptions();
      break;
    default:
      break;
  }
  return 1;
}

int MainWindow::onShowOptions() { return controller != nullptr ? controller->showOptions() : 0; }

int MainWindow::onShowKeyAssignment() {
  return controller != nullptr ? controller->showKeyAssignment() : 0;
}

int MainWindow::onShowKeyRemap() { return controller != nullptr ? controller->showKeyRemap() : 0; }

// ---- Creation ----------------------------------------------------------------------

int MainWindow::registerClass() {
  if (controller == nullptr) return 0;
  HINSTANCE instance = controller->instanceHandle();
  lookupText(kFrameClassNameId);
  if (text.IsEmpty()) return 0;  // a class needs a name
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KEYBOARD));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  windowClass.lpszClassName = text.WideAt(0);
  classAtom = RegisterClassExW(&windowClass);
  return classAtom != 0 ? 1 : 0;
}

int MainWindow::createWindow(uint32_t titleId, DWORD style, int32_t width, int32_t height) {
  if (controller == nullptr || window != nullptr || classAtom == 0) return 0;
  isDialog = 0;
  RECT desktop = {0, 0, 0, 0};
  /* result ignored: an unread desktop centres the frame at the top left */
  GetWindowRect(GetDesktopWindow(), &desktop);
  WString title;
  /* result ignored: a missing title leaves the caption empty */ lookupTextInto(titleId, title);
  HWND created = CreateWindowExW(
      0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(classAtom)), title.WideAt(0), style,
      (desktop.right - desktop.left - width) / 2, (desktop.bottom - desktop.top - height) / 2,
      width, height, nullptr, nullptr, controller->instanceHandle(), this);
  if (created == nullptr) return 0;
  if (window == nullptr) {
    // Created but never bound: no object hears of it, so it must not stay.
    /* result ignored: the window is not ours to keep */ DestroyWindow(created);
    return 0;
  }
  ShowWindow(window, SW_SHOW);
  return 1;
}

void MainWindow::paintHeader(HDC dc) {
  if (controller == nullptr) return;
  RECT client = {0, 0, 0, 0};
  /* result ignored: an unread rectangle clips the text to nothing */ GetClientRect(window, &client);
  const HeaderPlacement place = PlaceHeader(controller->displayDpi());
  // The icon's own image of that size, not one stretched from another.
  if (headerIcon == nullptr) {
    headerIcon = static_cast<HICON>(LoadImageW(controller->instanceHandle(),
                                               MAKEINTRESOURCEW(IDI_KESTREL), IMAGE_ICON,
                                               place.iconSize, place.iconSize, LR_DEFAULTCOLOR));
  }
  /* result ignored: a missing icon leaves the corner empty */
  DrawIconEx(dc, place.iconLeft, place.iconTop, headerIcon, place.iconSize, place.iconSize, 0,
             nullptr, DI_NORMAL);
  if (textHeight == 0) {
    WindowDcGuard measuring(window);
    SelectionGuard font(measuring.get(), controller->headerFontHandle());
    SIZE size = {0, 0};
    if (measuring.get() != nullptr &&
        GetTextExtentPoint32W(measuring.get(), kTallestCharacter, 1, &size)) {
      textHeight = size.cy;
    }
  }
  RECT line = {place.textLeft, place.textTop, client.right, place.textTop + textHeight};

  // The three parts are looked up on every paint, so the header follows a
  // change of the wizard's language at its next repaint.
  WString header;
  WString part;
  lookupTextInto(kProductNameId, header);
  lookupTextInto(kLayoutRecordKeyId, part);
  header.AppendWideText(WTEXT(" "), 1);
  header.AppendWideText(part.WideAt(0), part.Length());
  lookupTextInto(kHeaderSuffixId, part);
  header.AppendWideText(WTEXT(" "), 1);
  header.AppendWideText(part.WideAt(0), part.Length());

  const COLORREF previousColour = SetTextColor(dc, kHeaderTextColour);
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  {
    SelectionGuard font(dc, controller->headerFontHandle());
    /* result ignored: nothing to do about an unpainted line */
    DrawTextW(dc, header.WideAt(0), header.Length(), &line, DT_SINGLELINE);
  }
  // The previous values, restored as read.
  SetBkMode(dc, previousMode);
  SetTextColor(dc, previousColour);
}
