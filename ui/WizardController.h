// WizardController: the owner of the user interface. Shows the wizard's pages
// in the frame window, runs the message loop, and is the pages' only road to
// the application object: a page includes this header, never app/, and reads
// or writes a setting, looks up a text or shows a message through it
// (scripts/check-layers.sh holds every file of ui/ but the controller's own to
// that).
#pragma once

#include <windows.h>

#include <stdint.h>

#include "setup/rules/DisplayScale.h"
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
struct KeyRow;

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
        bandHeight(0),
        dpi(kStandardDpi) {}
  // Tears down whatever is left (nothing after the application's finish).
  ~WizardController() { teardown(); }
  WizardController(const WizardController&) = delete;
  WizardController& operator=(const WizardController&) = delete;

  // ---- Operations ----------------------------------------------------------
  // Stores `instance`, builds the header font, initialises the common
  // controls. 1 = ready; 0 = no application object or a null instance.
  int initialise(HINSTANCE instance);
  // Creates the frame and runs the message loop until WM_QUIT.
  // 1 = the loop ran and ended; 0 = the frame could not be made (no memory
  // for its object, its class not registered or its window not created), and
  // the wizard ends at once.
  int runWizard();
  // Frees the header font, the frame object and the page objects still alive,
  // clearing each pointer. Harmless when repeated.
  void teardown();
  // MessageBoxW with the text of string `id`, caption string 93 and `type`,
  // owned by the frame when there is one. Returns MessageBoxW's result.
  int showMessage(uint32_t id, uint32_t type);
  int showMessageText(const WChar* message, uint32_t type);
  // Disables every child control of the page shown (nothing when no page has
  // a window). runInstall calls it first, and the welcome page before it asks
  // for the removal. Nothing enables the controls again: the finish page
  // follows a success, the frame closes after a failed install, and a failed
  // removal leaves the page disabled with the frame's own close box.
  void disablePage();
  // Called by a window object at its WM_NCDESTROY: deletes it and clears the
  // slot (and the current page) that held it. Objects it does not own are
  // left alone.
  void releaseWindow(WindowBase* object);
  // Destroys the current page's window and creates `page` from `templateId`
  // in the frame. 0 only for a null page; a page whose dialog could not be
  // made stays current without a window (closing the frame still works).
  int showPage(int32_t templateId, WindowBase* page);
  // The page openers: 0 when that page is already shown (its slot is
  // occupied) or its object could not be made; else showPage's result.
  int showWelcome();
  int showLicence();
  int showOptions();
  int showKeyAssignment();
  int showKeyRemap();
  int showFinish();

  // ---- Texts -----------------------------------------------------------------
  // String `id` into `out` (wide). 1 = found; 0 = not found, `out` empty.
  int lookupText(uint32_t id) { return lookupTextInto(id, text); }
  int lookupTextInto(uint32_t id, WString& out);
  // The licence of the current interface language, wide, in `out`.
  // 1 = extracted; 0 = no such entry or it did not decipher (`out` empty).
  int licenceText(WString& out);

  // ---- Forwarders to the application ------------------------------------------
  // Plain reads and writes of the application's fields (see InstallerApp.h).
  int32_t wizardStep() const;
  void setWizardStep(int32_t step);
  int32_t versionCode() const;
  int32_t installedVersion() const;
  int32_t isAdministrator() const;
  int32_t associationMatch() const;
  int32_t uninstallDone() const;
  int32_t languageIndex() const;
  // 1 = stored (0 or 1); 0 = refused.
  int setLanguageIndex(int32_t index);
  uint16_t targetLanguageId() const;
  void setTargetLanguageId(uint16_t id);
  // The display name of the target language (path slot 0); null without one.
  const WString* targetLanguageName() const;
  int setTargetLanguageName(const WChar* name);
  int32_t defaultLanguageFlag() const;
  void setDefaultLanguageFlag(int32_t flag);
  int32_t finalStepOption() const;
  void setFinalStepOption(int32_t flag);
  int32_t placementOption() const;
  void setPlacementOption(int32_t flag);
  int32_t updateOnly() const;
  int32_t setUpdateOnly(int32_t value);
  int32_t computeVariant();
  int32_t setVariant(int32_t value);
  int32_t computeDecimalOption();
  int32_t setDecimalOption(int32_t value);
  // Clears the recorded option and gives 0, the value the hidden box shows.
  int32_t clearRecordedOption();
  int32_t pageFlag() const;
  void setPageFlag(int32_t flag);
  void setRestartRequested(int32_t flag);
  // The row of the live key table (the user's choices) or of the static one
  // (the defaults) for `scanCode`; null when the table has none.
  KeyRow* findKey(uint32_t scanCode);
  const KeyRow* findStaticKey(uint32_t scanCode) const;
  // Drops choices equal to the keys' defaults. 1 = done; 0 = no table.
  int normaliseKeyTable();
  // The sequences: 1 = done; 0 = failed (or no application object).
  int runInstall();
  int runUninstall();
  // Starts the system program of command `formatId` with `argument`
  // (InstallerApp::runSystemCommand). 1 = started; 0 = not started.
  int runSystemCommand(uint32_t formatId, const WChar* argument);

  // ---- Attributes ----------------------------------------------------------
  // The frame's window handle, or null when there is no frame window.
  HWND frameWindow() const;
  // Has the frame paint its header band again, in the wizard's language now.
  void repaintHeader() const;
  InstallerApp* application() const { return app; }
  HINSTANCE instanceHandle() const { return instance; }
  HFONT headerFontHandle() const { return headerFont; }
  // Height of the header band in pixels, 0 until the first page measured it.
  int32_t bandHeightMeasured() const { return bandHeight; }
  // The display's dots per inch, read by initialise (96 until then).
  int32_t displayDpi() const { return dpi; }
  void setBandHeight(int32_t height) { bandHeight = height; }
  int32_t isFrameSized() const { return frameSized; }
  void markFrameSized() { frameSized = 1; }
  WindowBase* shownPage() const { return currentPage; }

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
  int32_t dpi;
};
