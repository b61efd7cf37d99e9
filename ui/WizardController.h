// WizardController: the owner of the user interface. Shows the wizard's pages
// in the frame window, runs the message loop, and is the pages' only road to
// the application object: a page includes this header, never app/, and reads
// or writes a setting, looks up a text or shows a message through it
// (scripts/check-layers.sh holds every file of ui/ but the controller's own to
// that).
#pragma once

#include <windows.h>

#include <stdint.h>

#include "text/WString.h"

class InstallerApp;
class MainWindow;
class WindowBase;
class WelcomePage;
class LicencePage;
class OptionsPage;
class KeyAssignmentPage;
class KeyRemapPage;
class FinishPage;

class WizardController {
 public:
  // Every pointer, handle and number zero; `app` is the creator (not owned).
  explicit WizardController(InstallerApp* app)
      : instance(nullptr),
        app(app),
        mainWindow(nullptr),
        currentPage(nullptr),
        welcomePage(nullptr),
        licencePage(nullptr),
        optionsPage(nullptr),
        keyAssignmentPage(nullptr),
        keyRemapPage(nullptr),
        finishPage(nullptr),
        headerFont(nullptr),
        frameSized(0),
        bandHeight(0) {}
  // Tears down whatever is left (nothing after the application's finish).
  ~WizardController() { teardown(); }
  WizardController(const WizardController&) = delete;
  WizardController& operator=(const WizardController&) = delete;

  // ---- Operations ----------------------------------------------------------
  // Stores `instance`, builds the header font, initialises the common
  // controls. 1 = ready; 0 = no application object or a null instance.
  int initialise(HINSTANCE instance);
  // Creates the frame and runs the message loop until WM_QUIT.
  // 1 = the loop ran and ended; 0 = the frame object could not be allocated.
  int runWizard();
  // Frees the header font, the frame object and the page objects still alive,
  // clearing each pointer. Harmless when repeated.
  void teardown();
  // MessageBoxW with the text of string `id`, caption string 93 and `type`,
  // owned by the frame when there is one. Returns MessageBoxW's result.
  int showMessage(uint32_t id, uint32_t type);
  // Disables every control of the page shown (nothing when no page has a
  // window). The install and uninstall sequences call it first; nothing
  // enables the controls again, since a new page follows.
  void disablePage();

  // ---- Attributes ----------------------------------------------------------
  // The frame's window handle, or null when there is no frame window.
  HWND frameWindow() const;
  InstallerApp* application() const { return app; }

 private:
  HINSTANCE instance;
  InstallerApp* app;          // not owned
  MainWindow* mainWindow;     // owned; null until runWizard, after its window is gone
  WindowBase* currentPage;    // one of the six slots below
  WelcomePage* welcomePage;   // owned
  LicencePage* licencePage;   // owned
  OptionsPage* optionsPage;   // owned
  KeyAssignmentPage* keyAssignmentPage;  // owned
  KeyRemapPage* keyRemapPage;            // owned
  FinishPage* finishPage;                // owned
  WString text;               // scratch text for its own lookups
  HFONT headerFont;           // owned
  int32_t frameSized;
  int32_t bandHeight;
};
