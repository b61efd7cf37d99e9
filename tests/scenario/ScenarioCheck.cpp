// scenario_check: the checks of a scenario step that need Windows, read from a
// file (UTF-8, one check a line, fields split by tabs):
//   layout   INSTALLED REFERENCE DECIMAL [SCAN:VK,...]
//       INSTALLED loads and walks as Windows would; its scan-code tables equal those
//       of the built image REFERENCE except for the assigned keys, which carry VK,
//       and its characters equal REFERENCE's except the keypad decimal key, which
//       types "," in both cells when DECIMAL is 0.
//   shortcut LINK TARGET DESCRIPTION ICON INDEX
//       the shell link LINK resolves to TARGET with DESCRIPTION, and to the icon
//       ICON,INDEX (ICON empty: no icon set).
//   hold     LIBRARY MARKER
//       loads LIBRARY and keeps it open, unshared, then creates MARKER and waits
//       until the process is ended (by the scenario's restart).
// Prints one line per failed check and a summary; exit 0 = every check passed.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <stdio.h>
#include <stdlib.h>

#include <map>
#include <string>
#include <vector>

#include "tests/layout/support/LayoutWalker.h"

namespace {

int gFailed = 0;

std::string Narrow(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

void Fail(const std::wstring& what) {
  ++gFailed;
  printf("FAIL: %s\n", Narrow(what).c_str());
}

std::wstring Hex(unsigned value) {
  wchar_t buffer[16];
  swprintf(buffer, 16, L"%04X", value);
  return buffer;
}

// SCAN:VK,... as a map (both hexadecimal).
std::map<unsigned, unsigned> Assignments(const std::wstring& list) {
  std::map<unsigned, unsigned> out;
  size_t at = 0;
  while (at < list.size()) {
    size_t end = list.find(L',', at);
    if (end == std::wstring::npos) end = list.size();
    std::wstring item = list.substr(at, end - at);
    size_t colon = item.find(L':');
    if (colon != std::wstring::npos) {
      out[wcstoul(item.substr(0, colon).c_str(), nullptr, 16)] = wcstoul(item.substr(colon + 1).c_str(), nullptr, 16);
    }
    at = end + 1;
  }
  return out;
}

void CheckLayout(const std::vector<std::wstring>& f) {
  if (f.size() < 4) return Fail(L"layout: too few fields");
  const std::wstring& path = f[1];
  LayoutWalker installed, reference;
  if (!installed.Load(path.c_str())) return Fail(path + L": does not load or has no tables");
  if (!reference.Load(f[2].c_str())) return Fail(f[2] + L": reference does not load");
  const bool comma = f[3] == L"0";
  std::map<unsigned, unsigned> assigned = Assignments(f.size() > 4 ? f[4] : L"");
  auto expected = [&](unsigned scan, unsigned code) {
    auto found = assigned.find(scan);
    return found != assigned.end() ? found->second : code;
  };

  const KBDTABLES* want = reference.Tables();
  const KBDTABLES* got = installed.Tables();
  if (got->bMaxVSCtoVK != want->bMaxVSCtoVK) return Fail(path + L": scan-code table length differs");
  int keys = 0;
  for (unsigned scan = 0; scan < want->bMaxVSCtoVK; ++scan, ++keys) {
    if (got->pusVSCtoVK[scan] != expected(scan, want->pusVSCtoVK[scan])) {
      Fail(path + L": scan code " + Hex(scan) + L" gives " + Hex(got->pusVSCtoVK[scan]));
    }
  }
  const VSC_VK* lists[2] = {want->pVSCtoVK_E0, want->pVSCtoVK_E1};
  for (unsigned prefix = 0; prefix < 2; ++prefix) {
    for (const VSC_VK* r = lists[prefix]; r != nullptr && r->Vsc != 0; ++r, ++keys) {
      unsigned scan = (prefix == 0 ? 0xE000 : 0xE100) | r->Vsc;
      if (installed.CodeForScan(static_cast<uint16_t>(scan)) != expected(scan, r->Vk)) {
        Fail(path + L": scan code " + Hex(scan) + L" gives " + Hex(installed.CodeForScan(static_cast<uint16_t>(scan))));
      }
    }
  }
  for (auto& a : assigned) {
    if (installed.CodeForScan(static_cast<uint16_t>(a.first)) != a.second) Fail(path + L": assigned key " + Hex(a.first) + L" missing");
  }

  // Every key either image types something with, in every column Windows may use.
  int cells = 0;
  bool keyed[256] = {};
  for (const LayoutWalker* image : {&installed, &reference}) {
    for (int t = 0; t < image->CharTableCount(); ++t) {
      for (int i = 0; image->Row(t, i)->VirtualKey != 0; ++i) keyed[image->Row(t, i)->VirtualKey] = true;
    }
  }
  keyed[0xFF] = false;  // a dead key's accent row, compared with its key
  for (int vk = 1; vk < 0xFF; ++vk) {
    for (int column = 0; keyed[vk] && column < 8; ++column, ++cells) {
      uint16_t wantAccent = 0, gotAccent = 0;
      uint16_t cell = reference.Cell(static_cast<uint8_t>(vk), column, &wantAccent);
      if (vk == VK_DECIMAL && column < 2 && comma) cell = L',';
      if (installed.Cell(static_cast<uint8_t>(vk), column, &gotAccent) != cell || gotAccent != wantAccent) {
        Fail(path + L": key " + Hex(vk) + L" column " + Hex(column) + L" types " +
             Hex(installed.Cell(static_cast<uint8_t>(vk), column)));
      }
    }
  }
  const DEADKEY* dead = installed.Tables()->pDeadKey;
  int deadCount = LayoutWalker::DeadKeyCount(dead);
  if (deadCount != LayoutWalker::DeadKeyCount(want->pDeadKey)) Fail(path + L": dead-key table differs");
  for (int i = 0; i < deadCount && i < LayoutWalker::DeadKeyCount(want->pDeadKey); ++i) {
    if (dead[i].dwBoth != want->pDeadKey[i].dwBoth || dead[i].wchComposed != want->pDeadKey[i].wchComposed) {
      Fail(path + L": dead-key composition " + std::to_wstring(i) + L" differs");
    }
  }
  if (keys < 100 || cells < 100) Fail(path + L": the reference has too few keys to compare");
}

void CheckShortcut(const std::vector<std::wstring>& f) {
  if (f.size() < 6) return Fail(L"shortcut: too few fields");
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return Fail(L"no shell link object");
  }
  wchar_t target[MAX_PATH] = L"", description[1024] = L"", icon[MAX_PATH] = L"";
  int index = -1;
  bool loaded = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                SUCCEEDED(file->Load(f[1].c_str(), STGM_READ));
  if (loaded) {
    /* results ignored: an empty field fails its comparison below */
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetDescription(description, 1024);
    link->GetIconLocation(icon, MAX_PATH, &index);
  }
  if (file != nullptr) file->Release();
  link->Release();
  if (!loaded) return Fail(f[1] + L": does not load");
  if (lstrcmpiW(target, f[2].c_str()) != 0) Fail(f[1] + L": target " + target);
  if (f[3] != description) Fail(f[1] + L": description " + description);
  if (lstrcmpiW(icon, f[4].c_str()) != 0 || (!f[4].empty() && index != _wtoi(f[5].c_str()))) {
    Fail(f[1] + L": icon " + icon + L"," + std::to_wstring(index));
  }
}

void Hold(const std::vector<std::wstring>& f) {
  if (f.size() < 3) return Fail(L"hold: too few fields");
  HMODULE library = LoadLibraryW(f[1].c_str());
  HANDLE file = CreateFileW(f[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (library == nullptr || file == INVALID_HANDLE_VALUE) return Fail(f[1] + L": cannot hold it");
  HANDLE marker = CreateFileW(f[2].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  Sleep(INFINITE);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: scenario_check CHECKS-FILE\n");
    return 2;
  }
  FILE* in = _wfopen(argv[1], L"rb");
  if (in == nullptr) {
    fprintf(stderr, "scenario_check: cannot read the checks\n");
    return 2;
  }
  std::string bytes;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, in)) > 0;) bytes.append(buffer, n);
  fclose(in);
  /* result ignored: the shortcut checks fail visibly without COM */
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int checks = 0;
  std::wstring text = Wide(bytes);
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find(L'\n', at);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::wstring> f;
    for (size_t s = 0;;) {
      size_t tab = line.find(L'\t', s);
      f.push_back(line.substr(s, tab == std::wstring::npos ? std::wstring::npos : tab - s));
      if (tab == std::wstring::npos) break;
      s = tab + 1;
    }
    ++checks;
    if (f[0] == L"layout") CheckLayout(f);
    else if (f[0] == L"shortcut") CheckShortcut(f);
    else if (f[0] == L"hold") Hold(f);
    else Fail(L"unknown check " + f[0]);
  }
  CoUninitialize();
  printf("scenario_check: %d checks, %d failures\n", checks, gFailed);
  return gFailed == 0 ? 0 : 1;
}
