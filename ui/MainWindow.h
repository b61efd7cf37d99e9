// MainWindow: the wizard's frame: a fixed window with a painted header band
// above the current page, which turns the pages' WizardMessages into page
// changes and asks before it closes.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "ui/WindowBase.h"

class MainWindow : public WindowBase {
 public:
  MainWindow() {}
  ~MainWindow() override {}

  // ---- Overridables --------------------------------------------------------
  // The base dispatch, then the WizardMessages (WM_USER+1 to WM_USER+8).
  int onMessage() override;
  int onCommand() override { return 0; }  // the frame handles no command
  // Shows the welcome page. 1; 0 without a controller.
  int onCreate() override;
  // Paints the header band. 1.
  int onPaint() override;
  // Ends the message loop. 1.
  int onDestroy() override;
  // Closes at once when the wizard is over (step 6); otherwise asks string 96
  // and closes only on Yes. 1; 0 without a controller (default close).
  int onClose() override;
  int onInitDialog() override { return 0; }
  int requestClose() override;
  // Keeps the page control that had the focus when the frame lost activation
  // (to a message box, another program) and gives it back on reactivation:
  // the frame is a plain window, so nothing else would, and keys would stop
  // reaching the page. 1 = focus given back; 0 = default processing.
  int onActivate();

  // ---- Frame operations (the WizardMessages) -------------------------------
  // Asks for a restart and posts WM_CLOSE. 1; 0 without a controller.
  int onRestartAndClose();
  int onShowFinish();
  // By wizard step: 2 → welcome, 3 → licence; other steps nothing. 1.
  int onBack();
  // By wizard step: 1 → licence, 2 → options; other steps nothing. 1.
  int onNext();
  int onShowOptions();
  int onShowKeyAssignment();
  int onShowKeyRemap();

  // ---- Creation ------------------------------------------------------------
  // Registers the frame's class (name string 94). 1 = registered; 0 = no
  // controller or RegisterClassExW refused it.
  int registerClass();
  // Creates the frame centred on the desktop and shows it. 1 = created and
  // bound; 0 = no controller, no class, already bound, or the window could
  // not be created or bound (nothing is left behind then).
  int createWindow(uint32_t titleId, DWORD style, int32_t width, int32_t height);
  // Icon 128 and the grey header line (strings 0, 89, 82).
  void paintHeader(HDC dc);
  // The class registerClass made, 0 before.
  ATOM registeredClass() const { return classAtom; }

 private:
  HWND focusBeforeDeactivation = nullptr;  // a descendant of the frame, or null
  HICON headerIcon = nullptr;              // owned: the header's icon at the display's size
};
