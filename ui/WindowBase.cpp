// WindowBase: binding, the window and dialog procedures, and the services the
// pages reach through the controller.

#include "ui/WindowBase.h"

#include "ui/WizardController.h"

namespace {

// Flags of the SetWindowPos that follows a change of the user data: nothing
// moves, sizes, redraws or activates.
constexpr UINT kRefreshOnly =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;

WindowBase* BoundObject(HWND handle) {
  return reinterpret_cast<WindowBase*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

}  // namespace

WindowBase::WindowBase()
    : window(nullptr),
      isDialog(0),
      classAtom(0),
      controller(nullptr),
      result(0),
      notifyCode(0),
      controlId(0),
      controlWindow(nullptr),
      notifyHeaderCode(0),
      notifyHeader(nullptr),
      message(0),
      wParam(0),
      lParam(0),
      textHeight(0) {}

WindowBase::~WindowBase() {
  /* result ignored: a window that will not go is the system's to end */ destroyWindow();
  if (classAtom != 0 && controller != nullptr) {
    // By atom: the class name's text may already be gone with the tables.
    /* result ignored: a class still in use stays until the process ends */
    UnregisterClassW(reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(classAtom)),
                     controller->instanceHandle());
  }
}

// ---- Overridables --------------------------------------------------------------

int WindowBase::onMessage() {
  switch (message) {
    case WM_CREATE:
      return onCreate();
    case WM_DESTROY:
      return onDestroy();
    case WM_PAINT:
      return onPaint();
    case WM_CLOSE:
      return onClose();
    case WM_NCDESTROY:
      return onNcDestroy();
    case WM_INITDIALOG:
      return onInitDialog();
    default:
      return 0;
  }
}

int WindowBase::onCommand() { return 0; }

int WindowBase::onNcDestroy() {
  detachWindow();
  if (controller != nullptr) controller->releaseWindow(this);  // deletes this object
  return 1;
}

int WindowBase::onCreate() { return 1; }
int WindowBase::onPaint() { return 0; }
int WindowBase::onDestroy() { return 0; }

int WindowBase::onClose() {
  /* result ignored: the window is gone or was already going */ DestroyWindow(window);
  return 1;
}

int WindowBase::onInitDialog() { return 0; }

int WindowBase::requestClose() {
  /* result ignored: a window without a queue is already closing */
  PostMessageW(window, WM_CLOSE, 0, 0);
  return 0;
}

// ---- Binding and creation ---------------------------------------------------------

int WindowBase::attachWindow(HWND handle) {
  if (window != nullptr || handle == nullptr) return 0;
  const LONG_PTR previous = GetWindowLongPtrW(handle, GWLP_USERDATA);
  window = handle;
  if (previous != 0) return 1;
  SetLastError(0);
  if (SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this)) == 0 &&
      GetLastError() != 0) {
    window = nullptr;  // unbound: its messages get the default processing
    return 0;
  }
  /* result ignored: only refreshes the window's cached data */
  SetWindowPos(handle, nullptr, 0, 0, 0, 0, kRefreshOnly);
  return 1;
}

void WindowBase::detachWindow() {
  if (window == nullptr) return;
  // The window is being destroyed or already forgotten.
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  /* result ignored: only refreshes the window's cached data */
  SetWindowPos(window, nullptr, 0, 0, 0, 0, kRefreshOnly);
  window = nullptr;
}

int WindowBase::destroyWindow() {
  if (window == nullptr) return 1;
  return DestroyWindow(window) ? 1 : 0;
}

int WindowBase::createDialogPage(int32_t templateId, HWND parent) {
  if (controller == nullptr || window != nullptr) return 0;
  isDialog = 1;
  HWND created = CreateDialogParamW(controller->instanceHandle(), MAKEINTRESOURCEW(templateId),
                                    parent, DialogProcedure, reinterpret_cast<LPARAM>(this));
  if (created == nullptr) return 0;
  if (window == nullptr) {
    // Made but never bound: no object would ever hear of it again.
    /* result ignored: the dialog is not ours to keep */ DestroyWindow(created);
    return 0;
  }
  ShowWindow(window, SW_SHOW);
  return 1;
}

void WindowBase::takeMessage(UINT newMessage, WPARAM newWParam, LPARAM newLParam) {
  message = newMessage;
  wParam = newWParam;
  lParam = newLParam;
  result = 0;
  notifyCode = 0;
  controlId = 0;
  controlWindow = nullptr;
  notifyHeaderCode = 0;
  notifyHeader = nullptr;
  if (newMessage == WM_COMMAND) {
    notifyCode = HIWORD(newWParam);
    controlId = LOWORD(newWParam);
    controlWindow = reinterpret_cast<HWND>(newLParam);
  } else if (newMessage == WM_NOTIFY) {
    controlId = LOWORD(newWParam);
    notifyHeader = reinterpret_cast<NMHDR*>(newLParam);
    if (notifyHeader != nullptr) {
      controlId = static_cast<uint16_t>(notifyHeader->idFrom);
      notifyHeaderCode = notifyHeader->code;
    }
  }
}

LRESULT CALLBACK WindowBase::WindowProcedure(HWND handle, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  WindowBase* object = BoundObject(handle);
  if (object == nullptr) {
    if (message != WM_NCCREATE && message != WM_CREATE) {
      return DefWindowProcW(handle, message, wParam, lParam);
    }
    const CREATESTRUCTW* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    object = creation != nullptr ? static_cast<WindowBase*>(creation->lpCreateParams) : nullptr;
    if (object == nullptr || object->isDialog != 0 || !object->attachWindow(handle)) {
      return DefWindowProcW(handle, message, wParam, lParam);
    }
  }
  if (message == WM_NCDESTROY) {
    // The last message: the binding goes first, and the handler may delete
    // the object, which nothing touches afterwards.
    SetWindowLongPtrW(handle, GWLP_USERDATA, 0);  // the window is going
    object->takeMessage(message, wParam, lParam);
    object->onMessage();
    return 0;
  }
  object->takeMessage(message, wParam, lParam);
  if (object->onMessage()) return object->result;
  return DefWindowProcW(handle, message, wParam, lParam);
}

INT_PTR CALLBACK WindowBase::DialogProcedure(HWND handle, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  WindowBase* object = BoundObject(handle);
  if (object == nullptr) {
    if (message != WM_INITDIALOG) return FALSE;
    object = reinterpret_cast<WindowBase*>(lParam);
    if (object == nullptr || object->isDialog == 0 || !object->attachWindow(handle)) return FALSE;
  }
  object->takeMessage(message, wParam, lParam);
  if (message == WM_NOTIFY) return FALSE;  // no page handles notifications
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(handle, GWLP_USERDATA, 0);  // the window is going
    object->onMessage();  // may delete the object
    return 0;
  }
  int handled;
  if (message == WM_COMMAND) {
    handled = object->onCommand();
  } else {
    if (message == WM_INITDIALOG) object->result = TRUE;
    handled = object->onMessage();
  }
  if (!handled) return FALSE;
  if (message == WM_COMMAND) {
    // The dialog reads it back at once.
    SetWindowLongPtrW(handle, DWLP_MSGRESULT, object->result);
    return FALSE;
  }
  return object->result;
}

// ---- Services of the controller ----------------------------------------------------

int WindowBase::lookupText(uint32_t id) { return lookupTextInto(id, text); }

int WindowBase::lookupTextInto(uint32_t id, WString& out) {
  if (controller == nullptr) return 0;
  return controller->lookupTextInto(id, out);
}

int32_t WindowBase::wizardStep() { return controller != nullptr ? controller->wizardStep() : -1; }

void WindowBase::setWizardStep(int32_t step) {
  if (controller != nullptr) controller->setWizardStep(step);
}

int WindowBase::showMessageText(const WChar* messageText, uint32_t type) {
  return controller != nullptr ? controller->showMessageText(messageText, type) : 0;
}

int WindowBase::showMessage(uint32_t id, uint32_t type) {
  return controller != nullptr ? controller->showMessage(id, type) : 0;
}

int WindowBase::postToFrame(uint32_t frameMessage) {
  if (controller == nullptr) return 0;
  return PostMessageW(controller->frameWindow(), frameMessage, 0, 0) ? 1 : 0;
}
