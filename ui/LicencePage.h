// LicencePage: the second page of a fresh installation (template 201, step 2):
// the licence of the wizard's language, which must be accepted to go on.
#pragma once

#include "ui/WindowBase.h"

class LicencePage : public WindowBase {
 public:
  LicencePage() {}
  ~LicencePage() override {}

  // Builds the page from the stored acceptance and the payload's licence.
  // 1 (the dialog manager focuses the licence box); 0 without an application.
  int onInitDialog() override;
  // Next, Back, Cancel and the acceptance box: 1. The licence box's focus:
  // 1, with its selection removed. Anything else 0.
  int onCommand() override;
};
