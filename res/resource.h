// Resource ids of setup.exe, shared by res/setup.rc and the program's code.
// Plain #defines: windres reads this file too.
#ifndef KESTREL_RES_RESOURCE_H
#define KESTREL_RES_RESOURCE_H

// Icon groups, drawn by tools/make_icons.py. The lowest id is the one Explorer shows.
#define IDI_KESTREL 128   // the program: a kestrel on a keycap
#define IDI_KEYBOARD 129  // the keyboard layout

#endif  // KESTREL_RES_RESOURCE_H
