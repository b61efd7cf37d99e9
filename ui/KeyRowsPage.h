// KeyRowsPage: what the two key pages share. One row per key of a page's key
// map: a box, ticked to change the key, and a list of the codes it may take,
// enabled only while the box is ticked; a ticked row stores the chosen code in
// one column of the key table, an unticked row 0 (the key stays as it is).
#pragma once

#include <stdint.h>

#include "setup/rules/KeyRow.h"
#include "ui/WindowBase.h"

// A row of the page's working copy: the key's scan code and the code chosen
// for it (low 16 bits used).
struct KeyChoice {
  uint32_t key;
  uint32_t value;
};

// The list index that shows `value` in a list built from `items` (string id,
// value) less its first row: k - 1 for the first row k >= 1 whose value equals
// it; -1 when no row does.
int32_t ListIndexOfValue(const IdPair* items, uint32_t value);

class KeyRowsPage : public WindowBase {
 public:
  // Frees the working copy.
  ~KeyRowsPage() override;

 protected:
  // `keyMap`: (list id, scan code), one row per list from `firstList` on, in
  // list order; `items`: (string id, code), row 0 never offered; `column`: the
  // key table's column the page edits.
  KeyRowsPage(const IdPair* keyMap, const IdPair* items, int32_t firstList,
              uint16_t KeyRow::*column);

  // ---- Overridables ----------------------------------------------------------
  // The code a row ticked without a choice shows: the key's default.
  virtual uint32_t defaultFor(uint32_t key) = 0;
  // 1 when the row's list holds the whole item table. Base: any item at all
  // (a list is either empty or whole on a page that fills ticked rows whole).
  virtual int listIsWhole(int32_t row);
  // Called after the row's list was filled whole. Base: nothing.
  virtual void markWhole(int32_t row);

  // ---- Steps -------------------------------------------------------------------
  // Builds the working copy from the key table and labels each row's box with
  // its key's name. 1 = built; 0 = no controller.
  int readRows();
  // The choice of `key` among the rows, or null.
  KeyChoice* findChoice(uint32_t key);
  // Box `box` was clicked: the row's list follows its tick (see the .cpp).
  void rowToggled(int32_t box);
  // A code was chosen in list `list`: stored in the key table at once.
  void choiceMade(int32_t list);
  // Every row into the key table (ticked: its list's choice, else 0), then the
  // choices equal to the defaults dropped.
  void saveRows();
  // A button click both key pages handle alike: Next (nothing at this step),
  // Cancel (the close question; nothing more saved), Back (rows saved, then the
  // options page), `switchButton` (rows saved, then `switchMessage`'s page);
  // any other id toggles a row. The onCommand result.
  int flowButtonClicked(int32_t switchButton, uint32_t switchMessage);
  // Fills list `list` from the whole item table and drops row 0, selecting
  // `value`, or `fallbackIndex` when no offered row has it (-1: nothing).
  // 1 = filled.
  int fillWholeList(int32_t list, uint32_t value, int32_t fallbackIndex);
  // The row of list `list`, or -1 for any other id.
  int32_t rowOfList(int32_t list) const;

  const IdPair* keyMap;
  const IdPair* items;
  int32_t firstList;
  uint16_t KeyRow::*column;
  KeyChoice* choices;  // owned (AllocateBlock), `rowCount` rows
  int32_t rowCount;
};
