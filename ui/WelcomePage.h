// WelcomePage: the first page (template 200, step 1): the wizard's language,
// and either the way into a fresh installation or, when this version is
// installed, removal, update and the system's input-language settings.
#pragma once

#include "ui/WindowBase.h"

class WelcomePage : public WindowBase {
 public:
  WelcomePage() {}
  ~WelcomePage() override {}

  // Builds the page; 1, so the dialog manager focuses the first tab stop.
  int onInitDialog() override;
  // Next, Remove, Update, Cancel, the wide button and the language list.
  // 1 = handled; 0 = not (Update too, as it only posts).
  int onCommand() override;
  // Every text of the page in the current language, the focus on the face's
  // main button, and the language list refilled.
  void fillTexts();

 private:
  // This version is installed: the page shows its second face.
  int installed();
  // The Remove button: asks, then runs the uninstall sequence.
  void remove();
};
