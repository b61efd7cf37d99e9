// Resource ids of setup.exe, shared by res/setup.rc and the program's code.
// Plain #defines: windres reads this file too.
#ifndef KESTREL_RES_RESOURCE_H
#define KESTREL_RES_RESOURCE_H

// Icon groups, drawn by tools/make_icons.py. The lowest id is the one Explorer shows.
#define IDI_KESTREL 128   // the program: a kestrel on a keycap
#define IDI_KEYBOARD 129  // the keyboard layout

// Escape as IDCANCEL (VK_ESCAPE).
#define IDR_ACCELERATORS 130

// ---- Wizard pages (dialog templates) -------------------------------------------
#define IDD_WELCOME 200
#define IDD_LICENCE 201
#define IDD_OPTIONS 202
#define IDD_FINISH 203
#define IDD_KEY_ASSIGNMENT 204
#define IDD_KEY_REMAP 205

// The geometry the six pages share, in dialog units: the page, the etched
// lines at the top and above the button row, and the button row's slots.
#define PAGE_WIDTH 318
#define PAGE_HEIGHT 172
#define PAGE_MARGIN 8
#define TEXT_WIDTH 302
#define LOWER_LINE_Y 147
#define BUTTON_ROW_Y 152
#define BUTTON_WIDTH 50
#define BUTTON_HEIGHT 16
#define SLOT_1_X 8    // Cancel on every page but the finish page
#define SLOT_2_X 83
#define SLOT_3_X 142
#define SLOT_4_X 201
#define SLOT_5_X 260

// ---- Controls shared by several pages ---------------------------------------------
#define IDC_NEXT 1  // IDOK
#define IDC_INSTALL 206
#define IDC_CANCEL 300
#define IDC_BACK 301
#define IDC_KEYS 303   // to the key-assignment page (its marker there)
#define IDC_REMAP 304  // to the key-remapping page (its marker there)

// ---- Welcome page (200) ----------------------------------------------------------
#define IDC_LANGUAGE_LABEL 307
#define IDC_WELCOME_HEADING 308
#define IDC_WELCOME_BODY 309
#define IDC_LANGUAGE_SETTINGS 310  // the wide button: the system's input-language settings
#define IDC_REMOVE 315
#define IDC_WIZARD_LANGUAGE 2002
#define IDC_UPDATE 2003

// ---- Licence page (201) ----------------------------------------------------------
#define IDC_ACCEPT 305
#define IDC_LICENCE_TEXT 306
#define IDC_LICENCE_HEADING 311

// ---- Options page (202) ----------------------------------------------------------
#define IDC_TARGET_LABEL 313
#define IDC_VARIANT_LABEL 314
#define IDC_DECIMAL_LABEL 316
#define IDC_RESTART_NOTE 317
#define IDC_DEFAULT_LANGUAGE 1200
#define IDC_TARGET_LANGUAGE 1202
#define IDC_FINAL_STEP 1205
#define IDC_PLACEMENT 1212
#define IDC_KEEP_OPTIONS 1213
#define IDC_VARIANT 1214
#define IDC_DECIMAL 1215

// ---- Finish page (203) -----------------------------------------------------------
#define IDC_FINISH_RESULT 1204
#define IDC_FINISH_HEADING 1209
#define IDC_FINISH_SPARE 1211
#define IDC_RESTART 1213

// ---- Key pages (204, 205): a row's list id is its box id + 100 ----------------------
#define IDC_FIRST_KEY_BOX 1301
#define IDC_FIRST_KEY_LIST 1401
#define IDC_FIRST_REMAP_BOX 1501
#define IDC_FIRST_REMAP_LIST 1601
#define KEY_ROW_COUNT 20

#endif  // KESTREL_RES_RESOURCE_H
