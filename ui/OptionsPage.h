// OptionsPage: the installation's choices and the Install button (template
// 202, step 3). Every choice goes into the application at once through the
// controller; the page is rebuilt from those settings each time it is shown.
#pragma once

#include "ui/WindowBase.h"

class OptionsPage : public WindowBase {
 public:
  // Frees what an earlier page left of the language list's buffers.
  OptionsPage();
  // Frees the language list's buffers and forgets its list.
  ~OptionsPage() override;

  // Builds the page from the settings. 0: the focus stays on Install. 0 also
  // without an application.
  int onInitDialog() override;
  // Buttons, boxes and list choices: 1 when handled, else 0.
  int onCommand() override;

 private:
  // A new target language from list 1202: its id and name are stored and the
  // default box's text follows. 1 = handled; 0 = no selection or no name.
  int languageChanged();
  // Box 1200 = "(language - layout)" in pattern 102, from path slot 0.
  void updateLanguageBoxText();
  // Runs the install sequence and moves to the finish page, or reports the
  // failure (or the missing rights) and ends the wizard. 1; 0 without an
  // application.
  int install();
};
