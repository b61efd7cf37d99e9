// KeyRemapPage: remapping of twenty keys in the system's scan-code map
// (template 205, step 4; no path of the wizard shows it). For now it shows its
// texts, hides its rows and leads back; the rows' behaviour comes next.
#pragma once

#include "ui/WindowBase.h"

class KeyRemapPage : public WindowBase {
 public:
  KeyRemapPage() {}
  ~KeyRemapPage() override {}

  // Texts, every row hidden. 1; 0 without an application.
  int onInitDialog() override;
  // Back, Cancel and the assignment page's button: 1. Else 0.
  int onCommand() override;
};
