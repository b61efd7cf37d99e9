// engine_driver: runs the install engine as setup.exe's phases would, without
// the wizard, for the scenario tests and the benchmark. It prepares the
// application as the run phase does, makes the choices a user would make in
// the wizard, runs one sequence and the finish phase's completion step.
//
//   engine_driver.exe install|update|remove [--variant N] [--decimal 0|1]
//       [--language HEX] [--default 0|1] [--final 0|1] [--desktop 0|1]
//       [--assign SCAN:VK]... [--interface 0|1] [--as-version CODE]
//       [--as-arch ARCH] [--no-wait] [--if-offered]
//       [--cut-before N | --cut-after N | --fail N [--fail-with disk|denied]]
//       [--trace-changes]
//   --cut-before/--cut-after N: the process ends at once (exit code 99, as a power cut
//       leaves it) before or after the Nth change the system layer makes to the machine
//       (counted from the start: every registry write and delete, file or folder made,
//       written, deleted, moved or scheduled, shortcut saved, program started);
//   --fail N: that change fails as on a full disk (or, with denied, a refused write);
//   --trace-changes: each change on standard error as "change N call target".
//   engine_driver.exe wizard-without-rights
//       the wizard as setup.exe shows it, but for a user the run phase found to be an
//       administrator and the pages then find not to be one (the GUI tests' seam
//       for message 122 on Install and Remove); exit code 0 once it is over.
//
// Exit code: 0 = the sequence returned 1; 1 = it returned 0; 2 = it could not
// start (initialise failed, the system is not supported, not an administrator,
// another copy runs, or the arguments are wrong), or, for remove with
// --if-offered, the wizard would offer no Remove (its installed face needs a
// record of this program's level). One line on standard output:
//   engine: <operation>=<0|1> installedVersion=N installCount=N recordedValueC=N ms=N changes=N
// (ms: the sequence's own time; changes: the changes counted in the whole run).

#include <windows.h>
#include <objbase.h>

#include <stdint.h>
#include <stdio.h>
#include <wchar.h>

#include <string>
#include <string_view>

#include "app/InstallerApp.h"
#include "app/LocaleChoices.h"
#include "payload/StringIds.h"
#include "setup/Pause.h"
#include "setup/rules/RecordPlan.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/scenario/ChangeFaults.h"
#include "ui/WizardController.h"

namespace {

bool gNoWait = false;
bool gIfOffered = false;
ChangeFaultPlan gFaults;

enum class Operation { Install, Update, Remove, WizardWithoutRights };

struct Choices {
  Operation operation = Operation::Install;
  int32_t variant = -1, decimal = -1, interfaceLanguage = -1;
  int32_t defaultFlag = -1, finalStep = -1, desktop = -1;
  int32_t asVersion = -1, asArch = -1;
  int32_t language = -1;
  uint32_t assignments[160][2] = {};
  int32_t assignmentCount = 0;
};

bool Number(const wchar_t* text, int base, uint32_t* value) {
  if (text == nullptr || text[0] == 0) return false;
  wchar_t* end = nullptr;
  const unsigned long parsed = wcstoul(text, &end, base);
  if (end == text || *end != 0) return false;
  *value = static_cast<uint32_t>(parsed);
  return true;
}

// --cut-before, --cut-after, --fail N, --fail-with disk|denied.
bool ParseFault(std::wstring_view name, const wchar_t* value) {
  if (name == L"--fail-with") {
    const std::wstring_view kind = value;
    if (kind != L"disk" && kind != L"denied") return false;
    gFaults.error = kind == L"disk" ? ERROR_DISK_FULL : ERROR_ACCESS_DENIED;
    return true;
  }
  const struct {
    const wchar_t* name;
    ChangeFault fault;
  } faults[] = {{L"--cut-before", ChangeFault::CutBefore},
                {L"--cut-after", ChangeFault::CutAfter},
                {L"--fail", ChangeFault::Fail}};
  for (const auto& f : faults) {
    uint32_t at = 0;
    if (name != f.name || !Number(value, 10, &at) || at == 0) continue;
    gFaults.fault = f.fault;
    gFaults.at = at;
    if (gFaults.error == 0) gFaults.error = ERROR_DISK_FULL;
    return true;
  }
  return false;
}

bool Parse(int argc, wchar_t** argv, Choices& c) {
  if (argc < 2) return false;
  const std::wstring_view op = argv[1];
  if (op == L"install") c.operation = Operation::Install;
  else if (op == L"update") c.operation = Operation::Update;
  else if (op == L"remove") c.operation = Operation::Remove;
  else if (op == L"wizard-without-rights") c.operation = Operation::WizardWithoutRights;
  else return false;
  for (int i = 2; i < argc; ++i) {
    const std::wstring_view name = argv[i];
    if (name == L"--no-wait") {
      gNoWait = true;
      continue;
    }
    if (name == L"--if-offered") {
      gIfOffered = true;
      continue;
    }
    if (name == L"--trace-changes") {
      gFaults.trace = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const wchar_t* value = argv[++i];
    uint32_t n = 0;
    struct Flag {
      const wchar_t* name;
      int32_t* field;
      int base;
    } const flags[] = {{L"--variant", &c.variant, 10},     {L"--decimal", &c.decimal, 10},
                       {L"--language", &c.language, 16},   {L"--default", &c.defaultFlag, 10},
                       {L"--final", &c.finalStep, 10},     {L"--desktop", &c.desktop, 10},
                       {L"--interface", &c.interfaceLanguage, 10},
                       {L"--as-version", &c.asVersion, 10}, {L"--as-arch", &c.asArch, 10}};
    bool known = false;
    for (const Flag& flag : flags) {
      if (name != flag.name) continue;
      if (!Number(value, flag.base, &n)) return false;
      *flag.field = static_cast<int32_t>(n);
      known = true;
    }
    if (known) continue;
    if (ParseFault(name, value)) continue;
    if (name != L"--assign" || c.assignmentCount >= 160) return false;
    const wchar_t* colon = wcschr(value, L':');
    if (colon == nullptr) return false;
    const std::wstring scan(value, colon);
    if (!Number(scan.c_str(), 16, &c.assignments[c.assignmentCount][0]) ||
        !Number(colon + 1, 16, &c.assignments[c.assignmentCount][1])) {
      return false;
    }
    ++c.assignmentCount;
  }
  return true;
}

// The run phase up to the wizard, with the system overridden where asked.
// 1 = ready for a sequence.
int Prepare(InstallerApp& app, const Choices& c) {
  if (!app.initialise(GetModuleHandleW(nullptr))) return 0;
  app.setLanguageIndex(LanguageIndexFor(GetUserDefaultLangID()));
  app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId);
  if (c.asVersion >= 0) InstallerAppProbe::versionCode(app) = c.asVersion;
  if (c.asArch >= 0) {
    InstallerAppProbe::processorArchitecture(app) = static_cast<uint16_t>(c.asArch);
    InstallerAppProbe::is64BitSystem(app) = (c.asArch == 6 || c.asArch == 9) ? 1 : 0;
  }
  if (!app.isSupportedSystem()) return 0;
  app.setTargetLanguageId(TargetLanguageFor(app.getVersionCode(), GetUserDefaultLangID(),
                                            app.getFallbackLanguageId()));
  if (app.getVersionCode() < 51) app.setDefaultLanguageFlag(0);
  if (!app.checkDesktopUser()) return 0;
  if (!app.activateRunningInstance()) return 0;
  app.buildPaths();
  InstallerAppProbe::associationMatch(app) =
      app.checkAssociation(kFileTypeId, kAssociationNeedleId);
  InstallerAppProbe::isAdministrator(app) = app.checkAdministrator() ? 1 : 0;
  if (!app.getIsAdministrator()) return 0;
  app.readScancodeMap();
  app.detectInstallation();
  return 1;
}

// What the user chose in the wizard's pages.
int Choose(InstallerApp& app, const Choices& c) {
  if (c.interfaceLanguage >= 0 && !app.setLanguageIndex(c.interfaceLanguage)) return 0;
  if (c.variant >= 0) app.setVariant(c.variant);
  if (c.decimal >= 0) app.setDecimalOption(c.decimal);
  if (c.language >= 0) app.setTargetLanguageId(static_cast<uint16_t>(c.language));
  if (c.defaultFlag >= 0) app.setDefaultLanguageFlag(c.defaultFlag);
  if (c.finalStep >= 0) app.setFinalStepOption(c.finalStep);
  if (c.desktop >= 0) app.setPlacementOption(c.desktop);
  for (int32_t i = 0; i < c.assignmentCount; ++i) {
    KeyRow* row = app.findKey(c.assignments[i][0]);
    if (row == nullptr) return 0;
    row->assignedKey = static_cast<uint16_t>(c.assignments[i][1]);
  }
  return 1;
}

}  // namespace

// The driver's own settling wait: skipped with --no-wait, so that a benchmark
// measures the engine rather than the fixed pause.
void PauseMilliseconds(uint32_t milliseconds) {
  if (!gNoWait) Sleep(milliseconds);
}

int wmain(int argc, wchar_t** argv) {
  Choices choices;
  if (!Parse(argc, argv, choices)) {
    fprintf(stderr, "usage: engine_driver install|update|remove [options]\n");
    return 2;
  }
  StartChangeFaults(gFaults);
  /* result ignored: as the entry point, the sequences work without COM up to the shortcuts */
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  int exitCode = 2;
  {
    InstallerApp app;
    if (choices.operation == Operation::WizardWithoutRights) {
      exitCode = 2;
      if (Prepare(app, choices)) {
        InstallerAppProbe::isAdministrator(app) = 0;
        /* result ignored: the GUI driver checks what the wizard showed */
        InstallerAppProbe::wizard(app)->runWizard();
        app.finish();
        exitCode = 0;
      }
    } else if (!Prepare(app, choices)) {
      fprintf(stderr, "engine_driver: could not start (initialise, system, rights or options)\n");
    } else if (gIfOffered && choices.operation == Operation::Remove &&
               app.getInstalledVersion() != kRecordedLevel) {
      printf("engine: remove not offered installedVersion=%d\n",
             static_cast<int>(app.getInstalledVersion()));
      fflush(stdout);
    } else if (Choose(app, choices)) {
      const char* name = "install";
      LARGE_INTEGER frequency, start, end;
      QueryPerformanceFrequency(&frequency);
      // Marks for a Wine trace (+timestamp,+debugstr) that splits the time up.
      OutputDebugStringA("engine: sequence starts\n");
      QueryPerformanceCounter(&start);
      int result = 0;
      if (choices.operation == Operation::Remove) {
        name = "remove";
        result = app.runUninstall();
      } else {
        if (choices.operation == Operation::Update) {
          name = "update";
          app.setUpdateOnly(1);
        }
        result = app.runInstall();
      }
      QueryPerformanceCounter(&end);
      OutputDebugStringA("engine: sequence ends\n");
      if (app.getInstallDone() || app.getUninstallDone()) app.recordCompletion();
      const long long ms = (end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
      printf("engine: %s=%d installedVersion=%d installCount=%d recordedValueC=%d ms=%lld "
             "changes=%u\n",
             name, result ? 1 : 0, static_cast<int>(app.getInstalledVersion()),
             static_cast<int>(InstallerAppProbe::installCount(app)),
             static_cast<int>(InstallerAppProbe::recordedValueC(app)), ms,
             static_cast<unsigned>(ChangesCounted()));
      fflush(stdout);
      exitCode = result ? 0 : 1;
    } else {
      fprintf(stderr, "engine_driver: could not start (initialise, system, rights or options)\n");
    }
  }
  CoUninitialize();
  return exitCode;
}
