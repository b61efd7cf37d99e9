// InstallerApp: the one application object. Owns the payload tables, the facts
// about the system, the user's choices, the path texts, the key table and the
// wizard; the entry point drives it through initialise, run and finish.
#pragma once

#include <windows.h>

#include <stdarg.h>
#include <stdint.h>

#include "app/AppBase.h"
#include "setup/rules/KeyRow.h"
#include "payload/StringTable.h"
#include "setup/PrivateScript.h"
#include "text/WString.h"

class WizardController;

constexpr int32_t kPathCount = 36;

class InstallerApp : public AppBase {
 public:
  // Field start values as documented beside each field; keyTable is a copy of
  // the static key table with every assignedKey cleared; no wizard yet.
  InstallerApp();
  ~InstallerApp() override;

  // ---- Overridables --------------------------------------------------------
  // The frame window when the wizard has one, else null.
  HWND ownerWindow() const override;
  // Loads the key block and the four string tables, creates the wizard, loads
  // the common controls (LoadCommonControls) and computes the first option values. 1 = ready to run; 0 = a step failed,
  // what was loaded so far is left to the destructor.
  int initialise(HINSTANCE instance) override;
  // The base release plus supplementaryTable.
  void releaseTables() override;
  // The base search, then supplementaryTable.
  const uint8_t* findText(uint32_t id) const override;

  // ---- Phases --------------------------------------------------------------
  // Checks the system and the user, reads the earlier installation and runs
  // the wizard. 1 = go on to finish (the wizard ran, or the user was told that
  // administrator rights are needed); 0 = stop without finish (no wizard,
  // unsupported system after its message, another copy running, or the
  // wizard could not start).
  int run();
  // Tears the wizard down, records a completed install or uninstall, releases
  // the tables and restarts the machine when the user asked for it.
  void finish();
  // Writes the completion value (text 51 on Windows 2000, text 50 later).
  void recordCompletion();

  // ---- Messages ------------------------------------------------------------
  // Loads the texts only (no wizard, no library) and shows message `id` in the
  // user's language: the start refused before anything else ran. 1 = shown;
  // 0 = the texts could not be loaded, nothing shown.
  int refuseStart(HINSTANCE instance, uint32_t id);
  // Message box with the text of string `id` and `flags`. Returns its result,
  // or 0 when there is no wizard to show it.
  int showMessage(uint32_t id, uint32_t flags);

  // ---- Options -------------------------------------------------------------
  // variantIndex when already known; otherwise the first of strings 112, 113,
  // 114 that contains string 88 (0, 1, 2), or 0 when none does. Stored.
  int32_t computeVariant();
  // decimalOption when already known; otherwise 0 when the user's decimal
  // separator is ",", else 1, stored. -1 (and nothing stored) when the
  // separator cannot be read.
  int32_t computeDecimalOption();
  // Stores v when it is 0 to 2; returns v in every case.
  int32_t setVariant(int32_t v);
  // Stores v when it is 0 or 1; returns v in every case.
  int32_t setDecimalOption(int32_t v);
  void clearRecordedOption() { recordedOption = 0; }
  // Stores v; a non-zero v also marks the licence as accepted. Returns v.
  int32_t setUpdateOnly(int32_t v);

  // The licence of the current interface language (the byte-order mark
  // dropped), wide in `out`. 1 = extracted; 0 = missing, damaged or not UTF-8
  // (`out` empty).
  int licenceText(WString& out);

  // ---- Key table -----------------------------------------------------------
  // The row of the static table (with the default codes) or of the live table
  // whose scan code equals the low 16 bits of `scanCode`; null when none does
  // before the first zero scan code.
  const KeyRow* findStaticKey(uint32_t scanCode) const;
  KeyRow* findKey(uint32_t scanCode);
  KeyRow* getKeyTable() { return keyTable; }
  int32_t getKeyCount() const { return keyCount; }

  // ---- Attributes ----------------------------------------------------------
  uint16_t getFallbackLanguageId() const { return fallbackLanguageId; }
  uint16_t getTargetLanguageId() const { return targetLanguageId; }
  void setTargetLanguageId(uint16_t id) { targetLanguageId = id; }
  int32_t getDefaultLanguageFlag() const { return defaultLanguageFlag; }
  void setDefaultLanguageFlag(int32_t flag) { defaultLanguageFlag = flag; }
  int32_t getFinalStepOption() const { return finalStepOption; }
  void setFinalStepOption(int32_t flag) { finalStepOption = flag; }
  int32_t getPlacementOption() const { return placementOption; }
  void setPlacementOption(int32_t flag) { placementOption = flag; }
  int32_t getAssociationMatch() const { return associationMatch; }
  int32_t getIsAdministrator() const { return isAdministrator; }
  int32_t getUninstallDone() const { return uninstallDone; }
  int32_t getInstallDone() const { return installDone; }
  int32_t getRestartRequested() const { return restartRequested; }
  void setRestartRequested(int32_t flag) { restartRequested = flag; }
  int32_t getPageFlag() const { return pageFlag; }
  void setPageFlag(int32_t flag) { pageFlag = flag; }
  int32_t getVariantIndex() const { return variantIndex; }
  int32_t getDecimalOption() const { return decimalOption; }
  int32_t getRecordedOption() const { return recordedOption; }
  int32_t getUpdateOnly() const { return updateOnly; }
  int32_t getInstalledVersion() const { return installedVersion; }
  int32_t getRecordedValueA() const { return recordedValueA; }
  // Path slot `i` (0 to 35), or null outside the range.
  WString* path(int32_t i);
  WizardController* getWizard() const { return wizard; }

  // ---- Operations of the environment checks --------------------------------
  // Reads the Windows version and the native architecture into versionCode,
  // processorArchitecture and is64BitSystem, using procedure `procId` of
  // library `libId` when it exists; an ARM64 machine (named by procedure 61 of
  // that library where it exists) is reported as architecture 12, whatever
  // emulation the first procedure reports. 1, or 0 when no version could be read.
  int probeSystem(uint32_t procId, uint32_t libId);
  // 1 when versionCode and processorArchitecture form a supported system and
  // the payload carries every layout image that system needs.
  int isSupportedSystem();
  // 1 when the wizard may run on the thread's desktop: always from Vista on
  // (UIPI), before it unless the desktop is another user's (whose programs
  // could press the wizard's buttons). 0 = another user's desktop.
  int checkDesktopUser();
  // 1 when no other copy runs; 0 after bringing its window to the front. Only
  // a window of the frame's class whose process runs this program's own image
  // file (the same volume and file index) counts as another copy.
  int activateRunningInstance();
  // 1 when the program associated with file type `typeId` has text
  // `needleId` in its path.
  int checkAssociation(uint32_t typeId, uint32_t needleId);
  // 1 when the process token is in the Administrators group.
  int checkAdministrator();
  // For a run without the right: on Windows Vista and later, the limited token
  // of an administrator starts the running image again with the consent prompt.
  // 1 = the elevated copy started, and this run ends quietly; 0 = it did not
  // (not asked for, declined or failed).
  int relaunchElevated();
  // The result of the restart request, or 0.
  int restartSystem();

  // ---- Operations of the program paths and the earlier installation --------
  // Fills the path slots from the shell folders and the path of the running
  // image, which it opens and holds (ownImage) so that the file cannot be
  // changed or renamed while the program runs. 1 = every slot filled; 0 = a
  // shell folder could not be read (no slot filled), or the own image has no
  // usable path or name, or its file is not, byte for byte, the running image
  // (OpenOwnImage; its slots 30, 31, 33 and 35 stay empty, and the copy step
  // fails).
  int buildPaths();
  // Fills mapTarget of the key table from the system's scan-code map.
  void readScancodeMap();
  // Fills the installation-state fields from the product record.
  void detectInstallation();

  // ---- System primitives by string id ---------------------------------------
  // Each looks its names up (into lookupBuffer unless said otherwise) and
  // makes one call of the system layer (setup/Registry.h, Files.h, ...); a
  // failed lookup fails the call like a failed system call: 0 or null.
  HKEY openKey(HKEY parent, uint32_t keyId, REGSAM access);
  // openKey for a key under the user's control (HKCU): no component of the
  // path may be a registry link; null for a link as for a missing key.
  HKEY openKeyNoLink(HKEY parent, uint32_t keyId, REGSAM access);
  HKEY createKey(HKEY parent, uint32_t keyId, REGSAM access);
  int writeBinary(HKEY key, uint32_t valueId, const uint8_t* bytes, uint32_t count);
  // An owned block (FreeBlock) of exactly the stored size, its size in
  // `count`; null (count 0) unless the value is REG_BINARY and not empty.
  uint8_t* readBinary(HKEY key, uint32_t valueId, uint32_t& count);
  int writeDword(HKEY key, uint32_t valueId, uint32_t value);
  // 1 only for a REG_DWORD of exactly 4 bytes.
  int readDword(HKEY key, uint32_t valueId, uint32_t& value);
  // The value name goes into a text of its own: `text` may be lookupBuffer.
  int writeText(HKEY key, uint32_t valueId, WString& text, DWORD type = REG_SZ);
  int writeTextIds(HKEY key, uint32_t valueId, uint32_t dataId, DWORD type = REG_SZ);
  // A REG_SZ value as wide text (the stored terminator dropped); `out` is
  // empty on failure.
  int readText(HKEY key, uint32_t valueId, WString& out);
  int textEquals(HKEY key, uint32_t valueId, const WString& text);
  void deleteValue(HKEY key, uint32_t valueId);
  int deleteSubKey(HKEY key, uint32_t subKeyId);
  // Sets text value `valueId` of HKLM key `keyId` to text `dataId` formatted
  // with the system folder as its one argument (a command names its program
  // by full path). 1 = written; 0 = the key could not be opened or a text or
  // the write failed.
  int setMachineText(uint32_t keyId, uint32_t valueId, uint32_t dataId);

  // The shell folder `csidl`, asked on behalf of the wizard's frame.
  int getSpecialFolder(int csidl, WString& out);
  // Writes `text` as UTF-8 (the text becomes narrow) to a new script file in a
  // folder of its own under the system's temporary folder, named after text
  // `prefixId`, and holds it open for reading only (see PrivateScript). The
  // caller ends it with RemovePrivateScript once the command is done with it.
  // 1 = ready; 0 = no prefix, an empty text, or the file could not be made.
  int createScriptFile(uint32_t prefixId, WString& text, PrivateScript& script);
  // Copies the running program's file, from the handle buildPaths holds, to
  // `target`. 1 = copied; 0 = no handle or the copy failed.
  int copyOwnImage(const WChar* target);

  // The bytes of a text of upper-case hex digit pairs (FreeBlock), or null.
  uint8_t* decodeHexString(uint32_t id, uint32_t& count);
  // The system library named by `libraryId`, loaded by its full path in the
  // system folder, or null.
  HMODULE loadLibraryById(uint32_t libraryId);
  // Procedure `functionId` of library `libraryId`; loads the library into
  // `module` first when it is null (the caller frees it).
  FARPROC getProcById(uint32_t functionId, uint32_t libraryId, HMODULE& module);
  // The WOW64 file-system redirection pair of the system library (the caller
  // frees the module after calling revert), or null with both outputs null.
  HMODULE loadRedirectionControl(FARPROC& disable, FARPROC& revert);

  // The program the machine (never the user's own classes) associates with
  // the file type of text `associationId`. 1 = `out` holds its full path, which
  // lies in the system folder; 0 = none, or one elsewhere (`out` empty).
  int findAssociatedProgram(uint32_t associationId, WString& out);
  // Formats command `formatId` with the arguments and starts it in the system
  // folder, waiting at most 1000 ms for it. 1 = started (ended or not); 0 =
  // format id 0, a failed lookup or format, or the process could not be started.
  int runCommand(uint32_t formatId, ...);
  // runCommand, waiting at most `waitMs` for the command's process to end.
  int runCommandWaiting(uint32_t waitMs, uint32_t formatId, ...);
  // Starts command `formatId` formatted with the system folder and `argument`:
  // the command names its program inside that folder, so neither a file
  // association nor any per-user value chooses what runs elevated.
  // 1 = started; 0 = no system folder, or as runCommand.
  int runSystemCommand(uint32_t formatId, const WChar* argument);

  // ---- Installation state ----------------------------------------------------
  // Drops assignments equal to the defaults and maps to the key itself; 0
  // without a table.
  int normaliseKeyTable();
  // Merges stored assignments (4-byte records) and frees `block` whenever it
  // was given with a non-zero count. 0 for a null block or count 0.
  int loadKeyAssignments(uint8_t* block, uint32_t count);
  // The assignments in their stored form (FreeBlock), and their byte count.
  uint8_t* saveKeyAssignments(uint32_t& count);
  // Writes the system's scan-code map from the table; 1 also when nothing
  // needs writing.
  int writeScancodeMap();

  // ---- Keyboard-layout registration -------------------------------------------
  // The product record. Update-only mode: the options and key assignments in
  // the existing layout sub-record (0 when it is missing). Full mode: the
  // product key, the document group and the layout sub-record, each value
  // this run made or changed (setup/rules/RecordPlan.h), then the options.
  // 1 = every required value written; 0 = a key could not be opened or made, a
  // required write failed, or the first run's input language could not be read
  // (what was written stays).
  int writeProductRecord();
  // Deletes this installation's layout sub-record and, by the use counters,
  // the document group and the product key, or writes the lowered counters.
  // 1 = the layout sub-record was found (and deleted); 0 = it was not there.
  int removeProductRecord();
  // The product's entry in Windows' list of programs (Apps & features and its
  // forebears): names, version, publisher, the setup copy as its icon and as the
  // command for Uninstall and Change, the program folder, the web address and the
  // kilobytes of the files placed. Written with the full product record, removed
  // with the last installation's record. 1 = every value written / the entry gone.
  int writeUninstallEntry();
  int removeUninstallEntry();
  // The system's entry for the layout (in the native registry view): layout
  // text, id, component and file. 1 = all four written; 0 = the layout list is
  // missing or a write failed.
  int registerLayoutEntry();
  // Deletes that entry with its values. 1 = the layout list and the entry
  // were opened (the deletion itself is not checked); 0 = either is missing.
  int unregisterLayoutEntry();
  // Turns off the user's language and layout switching shortcuts (value "3"
  // for each of the three toggle values), making the user's toggle key when a
  // damaged profile lacks it. 1 = all three written; 0 otherwise.
  int writeUserKeyValues();

  // ---- Input languages ----------------------------------------------------------
  // The script that adds the layout to `languageId` (as its default when
  // `asDefault`), for this system (setup/rules/InputLanguageScripts.h).
  // 1 = `script` holds it (wide); 0 = before Windows Vista, or a text is missing.
  int makeAddLanguageScript(uint16_t languageId, int32_t asDefault, WString& script);
  // The script that removes the layout from every language under which the
  // user has it loaded (and from the language it is made for).
  int makeRemoveLanguageScript(WString& script);
  // Runs the add script through the system's input-language command and waits
  // for it to settle. 1 = nothing to do (before Windows Vista) or the command
  // was started; 0 = no script or script file, or the command could not start.
  int addInputLanguage(uint16_t languageId, int32_t asDefault);
  // Runs the removal script the same way (no settling time). Same results.
  int removeInputLanguage();

  // ---- Layout files -------------------------------------------------------------
  // The targets of the layout library in the system folders and its staging
  // files in the program folder. On 32-bit Windows `target64` is empty and
  // `staging64` untouched. 1 = made; 0 = a folder could not be found.
  int layoutFilePaths(WString& target32, WString& target64, WString* staging32,
                      WString* staging64);
  // The stored images of the chosen variant this system needs (null and -1
  // for a 64-bit image that the system does not need or the payload lacks).
  // 1 = chosen; 0 = unsupported system or variant (both outputs null, -1).
  int chooseLayoutImages(const uint8_t*& entry32, const uint8_t*& entry64, int32_t& length32,
                         int32_t& length64);
  // 1 when the payload holds, for every variant, each image this system needs.
  int carriesLayoutImages() const;
  // Extracts `entry`, patches it with the key assignments and the decimal-key
  // option, writes it to `staging` and schedules it to replace `target` at the
  // next restart (with file-system redirection off on 64-bit Windows).
  // 1 = written and scheduled; 0 = nothing usable to write, a pattern not
  // found, the staging file not written, or the system refused the schedule.
  int writeLayoutImage(const WChar* target, const WChar* staging, const uint8_t* entry,
                       uint32_t length);
  // Every layout library the system needs, staged in the program folder (made
  // or reset to the product access first; its parent must exist). 1 = all written and scheduled; 0 =
  // the folder refused, or one failed (none is written when the system's 64-bit
  // image is missing).
  int placeLayoutFiles();

  // ---- Documents --------------------------------------------------------------------
  // Extracts a stored entry into a new file at `path`. 1 = written whole.
  int extractToFile(const WChar* path, const uint8_t* stored, uint32_t length);
  // The read-me (text 68 on Windows 2000, else 67) as UTF-8 at `path`.
  int writeTextFile(const WChar* path);
  // Folders, documents, read-me, web links, the setup copy and their shortcuts.
  // 1 = all in place; 0 = the first that failed ended it (what was made stays).
  int placeDocuments();
  // Removes the guide and the read-me that an unrecorded earlier version left
  // in the user's Documents folder and on the desktop. Always 1.
  int removeOldShortcuts();

  // ---- Sequences ------------------------------------------------------------------------
  // Installs with the choices made (update-only mode: the options and the
  // layout library only). 1 = done (installDone set unless update-only);
  // 0 = a required step failed, and what it did before stays.
  int runInstall();
  // Removes this installation, shared parts only with the last one. 1 = done
  // (uninstallDone set); 0 = the layout file paths could not be made, nothing removed.
  int runUninstall();

 protected:
  friend class InstallerAppProbe;  // tests: reads and sets every field

  // Deletes the wizard (if any) and clears the pointer.
  void destroyWizard();
  // Command `formatId` formatted with `arguments` into `command`. 1 = done; 0 =
  // format id 0, a failed lookup or a failed format.
  int formatCommand(uint32_t formatId, va_list arguments, WString& command);

  // ---- The steps of placeDocuments, in its order; each 1 = done, 0 = failed
  // (what it made stays) --------------------------------------------------------
  // The program folder and the menu folder with their parents (EnsureFolder).
  int ensureProductFolders();
  // The guide and its menu and desktop shortcuts; its use count goes up by one.
  int placeGuide();
  // The chart and its shortcuts, until the record has it at this level.
  int placeChart();
  // The read-me and its shortcuts, each once.
  int placeReadMe();
  // The web links (menu and desktop) and their icon, once.
  int placeWebLinks();
  // The setup copy from the image this process holds, and its shortcut.
  int placeSetupCopy();
  // The path this run plans for `item`.
  const WChar* plannedPath(int32_t item) const;
  // The key block and the four string tables. 1 = all loaded; 0 = a step
  // failed, what was loaded so far is left to the destructor.
  int loadTexts();

  uint16_t fallbackLanguageId;  // string 86 read as hexadecimal
  uint16_t targetLanguageId;
  int32_t defaultLanguageFlag;
  int32_t associationMatch;
  int32_t isAdministrator;
  int32_t uninstallDone;
  int32_t installDone;
  int32_t restartRequested;
  // The licence has been accepted (the licence page's tick, or an update,
  // which skips that page).
  int32_t pageFlag;
  // The install ends by writing the per-user values that turn off the
  // language-switching shortcuts.
  int32_t finalStepOption;
  int32_t placementOption;  // desktop shortcuts wanted
  int32_t placementResultA;  // desktop shortcut of the text file created
  int32_t placementResultB;  // ... of the first document
  int32_t placementResultC;  // ... of the second document
  int32_t variantIndex;  // 0 to 2, -1 until computed
  int32_t decimalOption;  // 0 or 1, -1 until computed
  // The 0/1 option kept in the layout sub-record (value 153); the options
  // page clears it each time it is built.
  int32_t recordedOption;
  int32_t updateOnly;
  int32_t scancodeMapPresent;  // the system's scan-code map value existed
  KeyRow* keyTable;  // owned (AllocateBlock)
  int32_t keyCount;
  StringTable supplementaryTable;
  WizardController* wizard;  // owned
  WString paths[kPathCount];
  // The level of the second document (the chart) in the record, value 34:
  // below 180 the chart and its shortcuts are (re)made and recorded.
  int32_t recordedValueA;
  int32_t recordedVersion;  // the level of the document group, value 28
  // How many installations share the document group (the user guide and its
  // shortcuts), value 29; its files go when it falls to 0.
  int32_t recordedValueC;
  int32_t installedVersion;  // 0 none, 130 layout entry only, else recorded level
  // How many installations share the product record (value 21); what they
  // share goes when it falls to 0.
  int32_t installCount;
  // The running program's file, open for reading with only reads shared, from
  // buildPaths to the end of the program; null when it could not be opened.
  HANDLE ownImage;
};
