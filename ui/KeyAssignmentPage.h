// KeyAssignmentPage: virtual keys for fourteen modifier and lock keys
// (template 204, step 4). For now it shows its texts and leads back to the
// options page; the rows' behaviour comes next.
#pragma once

#include "ui/WindowBase.h"

class KeyAssignmentPage : public WindowBase {
 public:
  KeyAssignmentPage() {}
  ~KeyAssignmentPage() override {}

  // Texts and the hidden rows. 0: the focus stays on Back. 0 also without an
  // application.
  int onInitDialog() override;
  // Back, Cancel and the remapping page's button: 1. Else 0.
  int onCommand() override;
};
