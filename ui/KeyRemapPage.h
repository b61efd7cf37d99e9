// KeyRemapPage: keys remapped to other keys or switched off (template 205,
// step 4), the mapTarget column of the key table. No road of the wizard
// leads here: its buttons are hidden, and the page hides its rows.
#pragma once

#include "ui/KeyRowsPage.h"

class KeyRemapPage : public KeyRowsPage {
 public:
  KeyRemapPage();
  ~KeyRemapPage() override {}

  // Texts, every row hidden, and each row from the key table. 1 (the dialog
  // manager sets the focus); 0 without an application.
  int onInitDialog() override;
  // Back, Cancel and the assignment page's button: 1. Boxes and lists are
  // handled too but reported as 0.
  int onCommand() override;

 protected:
  // The key's own scan code: the key mapped to itself.
  uint32_t defaultFor(uint32_t key) override;
};
