// KeyAssignmentPage: virtual keys for fourteen modifier and lock keys
// (template 204, step 4), the assignedKey column of the key table. Reached
// from the options page and leading back to it.
#pragma once

#include "ui/KeyRowsPage.h"

class KeyAssignmentPage : public KeyRowsPage {
 public:
  KeyAssignmentPage();
  // Frees the flags, then the working copy.
  ~KeyAssignmentPage() override;

  // Texts, the hidden rows, and each row from the key table. 0: the focus
  // stays on Back. 0 also without an application.
  int onInitDialog() override;
  // Back, Cancel and the remapping page's button: 1. Boxes and lists are
  // handled too but reported as 0.
  int onCommand() override;

 protected:
  // The key's default code (the static table's assignedKey), 0 for a key the
  // table lacks.
  uint32_t defaultFor(uint32_t key) override;
  int listIsWhole(int32_t row) override;
  void markWhole(int32_t row) override;

 private:
  // A ticked row starts with only its current code in its list; the whole
  // table comes at its first drop-down.
  void listDropDown(int32_t list);

  int32_t* filled;  // owned: per row, 1 when its list holds the whole table
};
