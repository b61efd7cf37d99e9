// OptionsPage: the installation's choices and the Install button (template
// 202, step 3). For now it shows its texts and lists and runs the install with
// the choices the application holds; the choices themselves come next.
#pragma once

#include "ui/WindowBase.h"

class OptionsPage : public WindowBase {
 public:
  OptionsPage() {}
  ~OptionsPage() override {}

  // Texts, the two option lists, the hidden controls. 0: the focus stays on
  // Install. 0 also without an application.
  int onInitDialog() override;
  // Install, Back, Cancel and the key pages' buttons: 1. Else 0.
  int onCommand() override;

 private:
  // Runs the install sequence and moves to the finish page, or reports the
  // failure (or the missing rights) and ends the wizard. 1; 0 without an
  // application.
  int install();
};
