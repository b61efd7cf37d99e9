// WindowBase: the base of the frame window and of every wizard page. Binds the
// object to its window through the window's user data, turns each message into
// a virtual call, and offers the control helpers all pages use.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "text/WString.h"
#include "ui/IdTables.h"

class WizardController;

class WindowBase {
 public:
  // Every field zero, `text` empty.
  WindowBase();
  // Destroys a window still bound; unregisters a class this object registered.
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // ---- Overridables (in this slot order) -----------------------------------
  // Each returns nonzero when it handled the message (the procedure then
  // returns `result`), 0 when it did not (default processing).
  // Dispatches WM_CREATE, WM_DESTROY, WM_PAINT, WM_CLOSE, WM_NCDESTROY and
  // WM_INITDIALOG to the handlers below; 0 for everything else.
  virtual int onMessage();
  // Base: 0.
  virtual int onCommand();
  // Base: unbinds the window and hands the object to the controller, which
  // deletes it. Nothing may touch the object afterwards. Returns 1.
  virtual int onNcDestroy();
  // Base: 1.
  virtual int onCreate();
  // Base: 0.
  virtual int onPaint();
  // Base: 0.
  virtual int onDestroy();
  // Base: destroys the window, 1.
  virtual int onClose();
  // Base: 0. Pages: nonzero lets the dialog manager set the focus.
  virtual int onInitDialog();
  // Base: posts WM_CLOSE to the window, 0.
  virtual int requestClose();

  // ---- Binding and creation --------------------------------------------------
  // 1 = bound (or the window's user data already held an object: the handle is
  // recorded and the user data kept); 0 = null handle, already bound, or the
  // user data could not be set (nothing bound then).
  int attachWindow(HWND handle);
  // Clears the window's user data and forgets the handle; nothing when unbound.
  void detachWindow();
  // DestroyWindow's result, or 1 when no window is bound.
  int destroyWindow();
  // Creates the page from dialog template `templateId` as a child of `parent`
  // and shows it. 1 = created and bound; 0 = no controller, already bound, or
  // the dialog could not be created or bound.
  int createDialogPage(int32_t templateId, HWND parent);
  static LRESULT CALLBACK WindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK DialogProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

  // ---- Services of the controller --------------------------------------------
  // Each gives 0 (wizardStep: -1) when there is no controller.
  // Loads string `id` into `text`, wide. 1 = found; 0 = not found (text empty).
  int lookupText(uint32_t id);
  int lookupTextInto(uint32_t id, WString& out);
  int32_t wizardStep();
  void setWizardStep(int32_t step);
  // The controller's message box; MessageBoxW's result, or 0.
  int showMessageText(const WChar* message, uint32_t type);
  int showMessage(uint32_t id, uint32_t type);
  // Posts `message` (a WizardMessage) to the frame with no parameters.
  int postToFrame(uint32_t message);

  // ---- Control helpers ---------------------------------------------------------
  // All act on the controls of `window` by id; a missing control makes them
  // return 0 and do nothing else.
  int enableControl(int32_t id, int on);
  // 0 only for a null list; missing controls are skipped.
  int enableControls(const IdList* ids, int on);
  int showControl(int32_t id, int on);
  int showControls(const IdList* ids, int on);
  // 0 when the lookup fails (the control then gets the empty text).
  int setControlTextId(int32_t id, uint32_t stringId);
  int setControlText(int32_t id, const WChar* value);
  // (control id, string id) rows; rows without a control are skipped.
  int setControlTexts(const IdPair* table);
  // 1 only for BST_CHECKED.
  int isChecked(int32_t id);
  int setChecked(int32_t id, int on);
  // The item data of the selection; 0 without a selection.
  uint32_t comboSelectedData(int32_t id);
  // Fills a combo box from (string id, item value) rows and selects the item
  // whose value is `selectValue`. 0 = null box or table, or an item could not
  // be added (those before it stay).
  int fillCombo(HWND combo, const IdPair* items, int32_t selectValue);
  int fillComboById(int32_t id, const IdPair* items, int32_t selectValue);
  uint16_t lookupPair(int32_t key, const IdPair* table) const { return LookupPair(key, table); }
  // Sizes and centres the frame for the first page shown, and places this
  // page under the header band. 1 = placed; 0 = no controller, window or
  // frame, or a rectangle could not be read (nothing moved).
  int fitToFrame();

  // ---- Attributes ------------------------------------------------------------
  HWND handle() const { return window; }
  void setController(WizardController* owner) { controller = owner; }
  WizardController* owner() const { return controller; }

 protected:
  HWND window;
  int32_t isDialog;
  ATOM classAtom;  // registered by this object (the frame only)
  WizardController* controller;  // not owned
  WString text;  // scratch text for string ids
  // What the procedure returns for a message the handler handled.
  LRESULT result;
  uint16_t notifyCode;   // WM_COMMAND: the notification code
  uint16_t controlId;    // WM_COMMAND: the control; WM_NOTIFY: idFrom
  HWND controlWindow;    // WM_COMMAND: the control's window
  uint32_t notifyHeaderCode;
  NMHDR* notifyHeader;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int32_t textHeight;  // one line of the header font, 0 until measured

 private:
  // Stores the message and fills the command and notification fields.
  void takeMessage(UINT newMessage, WPARAM newWParam, LPARAM newLParam);
  HWND control(int32_t id) const;
};
