// RedirectionOff: the WOW64 redirection pair of the system library, looked up
// by id, around the system-folder file work of the install and uninstall.

#include "app/engine/RedirectionOff.h"

#include "app/InstallerApp.h"
#include "setup/SystemGuards.h"

namespace {

typedef BOOL(WINAPI* DisableRedirection)(PVOID* saved);
typedef BOOL(WINAPI* RevertRedirection)(PVOID saved);

}  // namespace

RedirectionOff::RedirectionOff(InstallerApp& app)
    : module(nullptr), revert(nullptr), saved(nullptr), disabled(false) {
  if (!app.getIs64BitSystem()) return;
  FARPROC disable = nullptr;
  module = app.loadRedirectionControl(disable, revert);
  if (module == nullptr) return;
  const DisableRedirection turnOff =
      reinterpret_cast<DisableRedirection>(reinterpret_cast<void (*)()>(disable));
  disabled = turnOff(&saved) != 0;
}

RedirectionOff::~RedirectionOff() {
  if (disabled) {
    /* result ignored: nothing is left to do if redirection stays off */
    reinterpret_cast<RevertRedirection>(reinterpret_cast<void (*)()>(revert))(saved);
  }
  if (module != nullptr) ReleaseModule(module);
}
