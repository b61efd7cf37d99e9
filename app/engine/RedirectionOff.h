// RedirectionOff: WOW64 file-system redirection turned off for the calling
// thread while it lives, on 64-bit Windows, so that the system-folder paths the
// program names reach the native system folder.
#pragma once

#include <windows.h>

class InstallerApp;

class RedirectionOff {
 public:
  // Turns redirection off when `app` runs on 64-bit Windows and the system
  // has the pair of calls; does nothing otherwise.
  explicit RedirectionOff(InstallerApp& app);
  // Turns it back on and frees the library.
  ~RedirectionOff();
  RedirectionOff(const RedirectionOff&) = delete;
  RedirectionOff& operator=(const RedirectionOff&) = delete;

 private:
  HMODULE module;  // owned
  FARPROC revert;
  void* saved;     // the value the disable call hands back for the revert
  bool disabled;
};
