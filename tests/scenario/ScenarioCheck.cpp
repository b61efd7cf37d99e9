// scenario_check: the checks of a scenario step that need Windows, read from a
// file (UTF-8, one check a line, fields split by tabs):
//   layout   INSTALLED REFERENCE DECIMAL [SCAN:VK,...]
//       INSTALLED loads and walks as Windows would; its scan-code tables equal those
//       of the built image REFERENCE except for the assigned keys, which carry VK;
//       its characters and dead keys equal REFERENCE's except the keypad decimal
//       key, which types "," in both cells when DECIMAL is 0.
//   displayname KLID NAME
//       the system's layout entry KLID has a Layout Display Name of REG_EXPAND_SZ
//       which, expanded and resolved as the control panel resolves it
//       (SHLoadIndirectString, in the program's user-interface language), is NAME.
//   shortcut LINK TARGET DESCRIPTION ICON INDEX [RUNAS]
//       the shell link LINK resolves to TARGET with DESCRIPTION, and to the icon
//       ICON,INDEX (ICON empty: no icon set); RUNAS 1 or 0: its "Run as
//       administrator" flag is set or not (not given: not looked at).
//   hold     LIBRARY MARKER
//       loads LIBRARY and keeps it open, unshared, then creates MARKER and waits
//       until the process is ended (by the scenario's restart).
//   save     MACHINE-FILE USER-FILE
//       writes both hives as they are now, in the registry files' own text form
//       (Wine's server saves only at its exit otherwise); the files must not exist.
//   delete   HKLM|HKCU KEY [VALUE]
//       deletes the key with everything under it, or only its value VALUE; one
//       already missing is fine. Keys are named in the system's own view.
//   set      HKLM|HKCU KEY VALUE TYPE HEX
//       sets the value to TYPE (a number) and the bytes HEX, as they are,
//       creating the key as needed.
//   run      FOLDER OUTPUT COMMAND-LINE
//       runs the program in current folder FOLDER, its output into file OUTPUT
//       followed by a line "exit N", and waits for it to end (one Wine start
//       less per run than starting it from outside).
// Prints one line per difference and a summary; exit 0 = no difference.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <stdio.h>
#include <stdlib.h>

#include <map>
#include <string>
#include <vector>

#include "tests/layout/support/LayoutWalker.h"
#include "tests/support/LinkFileFlags.h"

namespace {

typedef std::vector<std::wstring> Fields;

int gFailures = 0;

std::string Narrow(const std::wstring& text) {
  const int length = static_cast<int>(text.size());
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), length, &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  const int length = static_cast<int>(text.size());
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), length, nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), length, &out[0], n);
  return out;
}

void Fail(const std::wstring& what) {
  ++gFailures;
  printf("FAIL: %s\n", Narrow(what).c_str());
}

std::wstring Hex(unsigned value) {
  wchar_t buffer[16];
  swprintf(buffer, 16, L"%04X", value);
  return buffer;
}

// SCAN:VK,... (both hexadecimal) as a map.
std::map<unsigned, unsigned> Assignments(const std::wstring& list) {
  std::map<unsigned, unsigned> out;
  for (size_t at = 0; at < list.size();) {
    size_t end = list.find(L',', at);
    if (end == std::wstring::npos) end = list.size();
    wchar_t* rest = nullptr;
    unsigned scan = wcstoul(list.c_str() + at, &rest, 16);
    if (*rest == L':') out[scan] = wcstoul(rest + 1, nullptr, 16);
    at = end + 1;
  }
  return out;
}

void CheckLayout(const Fields& f) {
  if (f.size() < 4) return Fail(L"layout: too few fields");
  const std::wstring& path = f[1];
  LayoutWalker installed, reference;
  if (!installed.Load(path.c_str())) return Fail(path + L": does not load or has no tables");
  if (!reference.Load(f[2].c_str())) return Fail(f[2] + L": the reference does not load");
  const bool comma = f[3] == L"0";
  const std::map<unsigned, unsigned> assigned = Assignments(f.size() > 4 ? f[4] : L"");
  const KBDTABLES* want = reference.Tables();

  // Scan codes: plain, then the E0 and E1 lists.
  std::vector<std::pair<unsigned, unsigned>> codes;  // scan code, reference's code
  for (unsigned scan = 0; scan < want->bMaxVSCtoVK; ++scan) {
    codes.push_back({scan, want->pusVSCtoVK[scan]});
  }
  const VSC_VK* lists[2] = {want->pVSCtoVK_E0, want->pVSCtoVK_E1};
  for (unsigned e = 0; e < 2; ++e) {
    for (const VSC_VK* r = lists[e]; r != nullptr && r->Vsc != 0; ++r) {
      codes.push_back({(0xE0u + e) << 8 | r->Vsc, r->Vk});
    }
  }
  if (installed.Tables()->bMaxVSCtoVK != want->bMaxVSCtoVK) {
    Fail(path + L": scan-code table length differs");
  }
  for (auto& [scan, code] : codes) {
    auto given = assigned.find(scan);
    unsigned got = installed.CodeForScan(static_cast<uint16_t>(scan));
    if (got != (given != assigned.end() ? given->second : code)) {
      Fail(path + L": scan code " + Hex(scan) + L" gives " + Hex(got));
    }
  }
  for (auto& [scan, code] : assigned) {
    if (installed.CodeForScan(static_cast<uint16_t>(scan)) != code) {
      Fail(path + L": " + Hex(scan) + L" not assigned");
    }
  }

  // Characters: every key either image types with, in every column Windows may use.
  bool typing[256] = {};
  for (const LayoutWalker* image : {&installed, &reference}) {
    for (int t = 0; t < image->CharTableCount(); ++t) {
      for (int i = 0; image->Row(t, i)->VirtualKey != 0; ++i) {
        typing[image->Row(t, i)->VirtualKey] = true;
      }
    }
  }
  int cells = 0;
  for (int vk = 1; vk < 0xFF; ++vk) {  // 0xFF rows carry a dead key's accents, read with its key
    for (int column = 0; typing[vk] && column < 8; ++column, ++cells) {
      uint16_t wantAccent = 0, gotAccent = 0;
      uint16_t cell = reference.Cell(static_cast<uint8_t>(vk), column, &wantAccent);
      if (vk == VK_DECIMAL && column < 2 && comma) cell = L',';
      uint16_t got = installed.Cell(static_cast<uint8_t>(vk), column, &gotAccent);
      if (got != cell || gotAccent != wantAccent) {
        Fail(path + L": key " + Hex(vk) + L" column " + Hex(column) + L" types " + Hex(got));
      }
    }
  }
  const DEADKEY* dead = installed.Tables()->pDeadKey;
  const int deadCount = LayoutWalker::DeadKeyCount(want->pDeadKey);
  if (LayoutWalker::DeadKeyCount(dead) != deadCount) return Fail(path + L": dead keys differ");
  for (int i = 0; i < deadCount; ++i) {
    const DEADKEY& w = want->pDeadKey[i];
    if (dead[i].dwBoth != w.dwBoth || dead[i].wchComposed != w.wchComposed) {
      Fail(path + L": dead-key composition " + std::to_wstring(i) + L" differs");
    }
  }
  if (codes.size() < 100 || cells < 100) Fail(f[2] + L": too few keys to compare");
}

void CheckDisplayName(const Fields& f) {
  if (f.size() < 3) return Fail(L"displayname: too few fields");
  const std::wstring key = L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\" + f[1];
  wchar_t stored[512] = {}, expanded[512] = {}, name[256] = {};
  DWORD type = 0, size = sizeof stored - sizeof(wchar_t);
  HKEY entry = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &entry) !=
      ERROR_SUCCESS) {
    return Fail(key + L": cannot be opened");
  }
  LONG read = RegQueryValueExW(entry, L"Layout Display Name", nullptr, &type,
                               reinterpret_cast<BYTE*>(stored), &size);
  RegCloseKey(entry);
  if (read != ERROR_SUCCESS) return Fail(key + L": no Layout Display Name");
  if (type != REG_EXPAND_SZ) return Fail(key + L": Layout Display Name is not REG_EXPAND_SZ");
  // Windows resolves in the thread's language; Wine by the process's locale.
  SetThreadUILanguage(GetUserDefaultUILanguage());
  if (ExpandEnvironmentStringsW(stored, expanded, 512) == 0 ||
      FAILED(SHLoadIndirectString(expanded, name, 256, nullptr))) {
    return Fail(std::wstring(stored) + L": does not resolve");
  }
  if (f[2] != name) Fail(std::wstring(stored) + L" resolves to " + name + L", not " + f[2]);
}

bool RunAsFlagKept() {
  static int kept = -1;
  if (kept < 0) {
    wchar_t folder[MAX_PATH + 1] = L"", system[MAX_PATH + 1] = L"";
    GetTempPathW(MAX_PATH, folder);
    GetSystemDirectoryW(system, MAX_PATH);
    kept = ShellKeepsRunAsFlag(std::wstring(folder) + L"scenario-check-probe.lnk",
                               (std::wstring(system) + L"\\notepad.exe").c_str()) ? 1 : 0;
  }
  return kept == 1;
}

void CheckShortcut(const Fields& f) {
  if (f.size() < 6) return Fail(L"shortcut: too few fields");
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return Fail(L"no shell link object");
  }
  wchar_t target[MAX_PATH] = L"", description[1024] = L"", icon[MAX_PATH] = L"";
  int index = -1;
  DWORD flags = 0;
  bool loaded =
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(f[1].c_str(), STGM_READ));
  if (loaded) {
    /* results ignored: an empty field fails its comparison below */
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetDescription(description, 1024);
    link->GetIconLocation(icon, MAX_PATH, &index);
    flags = SavedLinkFlags(f[1]);
  }
  if (file != nullptr) file->Release();
  link->Release();
  if (!loaded) return Fail(f[1] + L": does not load");
  if (lstrcmpiW(target, f[2].c_str()) != 0) Fail(f[1] + L": target " + target);
  if (f[3] != description) Fail(f[1] + L": description " + description);
  if (lstrcmpiW(icon, f[4].c_str()) != 0 || (!f[4].empty() && index != _wtoi(f[5].c_str()))) {
    Fail(f[1] + L": icon " + icon + L"," + std::to_wstring(index));
  }
  const bool runAs = (flags & SLDF_RUNAS_USER) != 0;
  // A shell that drops the flag (Wine's) cannot show it was asked for.
  if (f.size() > 6 && f[6] == L"1" && !runAs && !RunAsFlagKept()) {
    printf("note: %s: this shell does not keep the run-as-administrator flag\n", Narrow(f[1]).c_str());
    return;
  }
  if (f.size() > 6 && runAs != (f[6] == L"1")) {
    Fail(f[1] + (runAs ? L": runs as administrator" : L": does not run as administrator"));
  }
}

void Hold(const Fields& f) {
  if (f.size() < 3) return Fail(L"hold: too few fields");
  HMODULE library = LoadLibraryW(f[1].c_str());
  HANDLE file =
      CreateFileW(f[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (library == nullptr || file == INVALID_HANDLE_VALUE) return Fail(f[1] + L": cannot hold it");
  HANDLE marker = CreateFileW(f[2].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  Sleep(INFINITE);
}

void Save(const Fields& f) {
  if (f.size() < 3) return Fail(L"save: too few fields");
  // Saving a key needs the backup right, held but not enabled.
  HANDLE token = nullptr;
  TOKEN_PRIVILEGES backup = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
    if (LookupPrivilegeValueW(nullptr, SE_BACKUP_NAME, &backup.Privileges[0].Luid)) {
      /* result ignored: the save below reports a missing right */
      AdjustTokenPrivileges(token, FALSE, &backup, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  const HKEY hives[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
  for (int i = 0; i < 2; ++i) {
    const LONG result = RegSaveKeyW(hives[i], f[1 + i].c_str(), nullptr);
    if (result != ERROR_SUCCESS) Fail(f[1 + i] + L": not saved, error " + std::to_wstring(result));
  }
}

HKEY Hive(const std::wstring& name) {
  return name == L"HKCU" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

void Delete(const Fields& f) {
  if (f.size() < 3) return Fail(L"delete: too few fields");
  HKEY key = nullptr;
  LONG result = RegOpenKeyExW(Hive(f[1]), f[2].c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key);
  if (result == ERROR_FILE_NOT_FOUND) return;
  if (result == ERROR_SUCCESS) {
    result = f.size() > 3 ? RegDeleteValueW(key, f[3].c_str()) : RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    if (f.size() == 3 && result == ERROR_SUCCESS) result = RegDeleteKeyW(Hive(f[1]), f[2].c_str());
  }
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
    Fail(f[2] + L": not deleted, error " + std::to_wstring(result));
  }
}

void Set(const Fields& f) {
  if (f.size() < 6) return Fail(L"set: too few fields");
  std::vector<BYTE> bytes;
  for (size_t at = 0; at + 1 < f[5].size(); at += 2) {
    bytes.push_back(static_cast<BYTE>(wcstoul(f[5].substr(at, 2).c_str(), nullptr, 16)));
  }
  HKEY key = nullptr;
  LONG result = RegCreateKeyExW(Hive(f[1]), f[2].c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr);
  if (result == ERROR_SUCCESS) {
    const DWORD type = wcstoul(f[4].c_str(), nullptr, 10);
    result = RegSetValueExW(key, f[3].c_str(), 0, type, bytes.empty() ? nullptr : bytes.data(),
                            static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
  }
  if (result != ERROR_SUCCESS) {
    Fail(f[2] + L"\\" + f[3] + L": not set, error " + std::to_wstring(result));
  }
}

void Run(const Fields& f) {
  if (f.size() < 4) return Fail(L"run: too few fields");
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE output = CreateFileW(f[2].c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                              CREATE_ALWAYS, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) return Fail(f[2] + L": cannot be made");
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = output;
  PROCESS_INFORMATION process = {};
  std::wstring commandLine = f[3];
  DWORD code = 0xFFFFFFFF;
  if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, f[1].c_str(),
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    /* result ignored: the code stays 0xFFFFFFFF */ GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  char line[32];
  DWORD written = 0;
  const int n = snprintf(line, sizeof line, "\nexit %lu\n", static_cast<unsigned long>(code));
  /* result ignored: a missing line reads as a failed run */
  WriteFile(output, line, static_cast<DWORD>(n), &written, nullptr);
  CloseHandle(output);
}

// Runs the checks of one file; prints the summary line. 1 = no difference.
bool CheckFile(const wchar_t* path) {
  FILE* in = _wfopen(path, L"rb");
  if (in == nullptr) {
    printf("scenario_check: cannot read the checks\n");
    return false;
  }
  std::string bytes;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, in)) > 0;) bytes.append(buffer, n);
  fclose(in);
  gFailures = 0;
  int checks = 0;
  const std::wstring text = Wide(bytes);
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find(L'\n', at);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(at, end - at);
    at = end + 1;
    if (line.empty()) continue;
    Fields f;
    for (size_t start = 0, tab = 0; tab != std::wstring::npos; start = tab + 1) {
      tab = line.find(L'\t', start);
      f.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
    }
    ++checks;
    if (f[0] == L"layout") CheckLayout(f);
    else if (f[0] == L"shortcut") CheckShortcut(f);
    else if (f[0] == L"displayname") CheckDisplayName(f);
    else if (f[0] == L"hold") Hold(f);
    else if (f[0] == L"save") Save(f);
    else if (f[0] == L"delete") Delete(f);
    else if (f[0] == L"set") Set(f);
    else if (f[0] == L"run") Run(f);
    else Fail(L"unknown check " + f[0]);
  }
  printf("scenario_check: %d checks, %d failures\n", checks, gFailures);
  fflush(stdout);
  return gFailures == 0;
}

}  // namespace

// scenario_check CHECKS-FILE, or scenario_check - : the path of one checks file
// after another on standard input, each answered by its summary line, until
// the input ends (one Wine start for a whole campaign).
int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: scenario_check CHECKS-FILE|-\n");
    return 2;
  }
  /* result ignored: the shortcut checks fail visibly without COM */
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool ok = true;
  if (wcscmp(argv[1], L"-") != 0) {
    ok = CheckFile(argv[1]);
  } else {
    char line[4096];
    while (fgets(line, sizeof line, stdin) != nullptr) {
      std::wstring path = Wide(line);
      while (!path.empty() && (path.back() == L'\n' || path.back() == L'\r')) path.pop_back();
      if (!path.empty() && !CheckFile(path.c_str())) ok = false;
    }
  }
  CoUninitialize();
  return ok ? 0 : 1;
}
