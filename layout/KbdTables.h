/* KbdTables: the tables a Windows keyboard layout library hands to the system
   through KbdLayerDescriptor, as the Windows documentation lays them out. */
#ifndef KESTREL_LAYOUT_KBDTABLES_H
#define KESTREL_LAYOUT_KBDTABLES_H

#include <windows.h>

/* Modifier bits (VK_TO_BIT.ModBits) and the column that marks a combination unused. */
#define KBDSHIFT 0x01
#define KBDCTRL 0x02
#define KBDALT 0x04
#define SHFT_INVALID 0x0F

/* Flags in the scan-code tables, above the 8-bit virtual-key code. */
#define KBDEXT 0x0100
#define KBDMULTIVK 0x0200
#define KBDSPECIAL 0x0400
#define KBDNUMPAD 0x0800

/* VK_TO_WCHARS attributes. */
#define CAPLOK 0x01
#define SGCAPS 0x02
#define CAPLOKALTGR 0x04

/* Character cells that are not characters. */
#define WCH_NONE 0xF000
#define WCH_DEAD 0xF001
#define WCH_LGTR 0xF002

/* fLocaleFlags: the version in the high word, KLLF_* in the low one. */
#define KLLF_ALTGR 0x0001
#define KBD_VERSION 1

/* DEADKEY.uFlags: the composition is itself a dead key. */
#define DKF_DEAD 0x0001

/* Pointer fields. In the 32-bit library for the WOW64 folder of 64-bit Windows
   every pointer is an 8-byte, 8-byte-aligned slot (the pointer in its low half,
   the high half zero), so that the file has the x64 field layout a 64-bit reader
   expects. KBD_PTR wraps a pointer's initializer for either form. */
#ifdef KESTREL_LAYOUT_WOW64
#define KBD_LONG_POINTER(type) \
  union {                      \
    type p;                    \
    ULONGLONG slot;            \
  } __attribute__((aligned(8)))
#define KBD_PTR(x) {x}
#else
#define KBD_LONG_POINTER(type) type
#define KBD_PTR(x) x
#endif

typedef struct {
  BYTE Vk;
  BYTE ModBits;
} VK_TO_BIT;

typedef struct {
  KBD_LONG_POINTER(const VK_TO_BIT*) pVkToBit;
  WORD wMaxModBits;
  BYTE ModNumber[]; /* column per combination of modifier bits */
} MODIFIERS;

/* One row of a character table: n cells, one per column of MODIFIERS. */
#define KESTREL_VK_TO_WCHARS(n) \
  typedef struct {              \
    BYTE VirtualKey;            \
    BYTE Attributes;            \
    WCHAR wch[n];               \
  } VK_TO_WCHARS##n
KESTREL_VK_TO_WCHARS(1);
KESTREL_VK_TO_WCHARS(2);
KESTREL_VK_TO_WCHARS(3);
KESTREL_VK_TO_WCHARS(4);
KESTREL_VK_TO_WCHARS(5);
KESTREL_VK_TO_WCHARS(6);
#undef KESTREL_VK_TO_WCHARS

typedef struct {
  KBD_LONG_POINTER(const VK_TO_WCHARS1*) pVkToWchars; /* rows of cbSize bytes, ended by VirtualKey 0 */
  BYTE nModifications;
  BYTE cbSize;
} VK_TO_WCHAR_TABLE;

typedef struct {
  DWORD dwBoth; /* MAKELONG(base character, accent) */
  WCHAR wchComposed;
  USHORT uFlags;
} DEADKEY;

typedef struct {
  BYTE vsc;
  KBD_LONG_POINTER(const WCHAR*) pwsz;
} VSC_LPWSTR;

/* The accent-name list: accent then name, ended by a null pointer. */
typedef KBD_LONG_POINTER(const WCHAR*) DEADKEY_LPWSTR;

/* E0 and E1 lists: 4-byte records (scan code, a padding byte, code), ended by scan 0. */
typedef struct {
  BYTE Vsc;
  USHORT Vk;
} VSC_VK;

typedef struct {
  KBD_LONG_POINTER(const MODIFIERS*) pCharModifiers;
  KBD_LONG_POINTER(const VK_TO_WCHAR_TABLE*) pVkToWcharTable;
  KBD_LONG_POINTER(const DEADKEY*) pDeadKey;
  KBD_LONG_POINTER(const VSC_LPWSTR*) pKeyNames;
  KBD_LONG_POINTER(const VSC_LPWSTR*) pKeyNamesExt;
  KBD_LONG_POINTER(const DEADKEY_LPWSTR*) pKeyNamesDead;
  KBD_LONG_POINTER(const USHORT*) pusVSCtoVK;
  BYTE bMaxVSCtoVK;
  KBD_LONG_POINTER(const VSC_VK*) pVSCtoVK_E0;
  KBD_LONG_POINTER(const VSC_VK*) pVSCtoVK_E1;
  DWORD fLocaleFlags;
  BYTE nLgMax;
  BYTE cbLgEntry;
  KBD_LONG_POINTER(const void*) pLigature;
  DWORD dwType;
  DWORD dwSubType;
} KBDTABLES;

/* The field layout the system reads: x86 on one side, x64 and WOW64 on the other. */
#ifdef __cplusplus
#define KESTREL_STATIC_ASSERT static_assert
#else
#define KESTREL_STATIC_ASSERT _Static_assert
#endif
KESTREL_STATIC_ASSERT(sizeof(VSC_VK) == 4, "E0/E1 records are 4 bytes");
KESTREL_STATIC_ASSERT(sizeof(VK_TO_WCHARS2) == 6, "rows are packed words after two bytes");
KESTREL_STATIC_ASSERT(sizeof(DEADKEY) == 8, "dead-key records are 8 bytes");
#if defined(KESTREL_LAYOUT_WOW64) || defined(_WIN64)
KESTREL_STATIC_ASSERT(sizeof(KBDTABLES) == 0x68, "64-bit KBDTABLES is 0x68 bytes");
KESTREL_STATIC_ASSERT(__builtin_offsetof(KBDTABLES, bMaxVSCtoVK) == 0x38, "bMaxVSCtoVK at 0x38");
KESTREL_STATIC_ASSERT(__builtin_offsetof(KBDTABLES, fLocaleFlags) == 0x50, "fLocaleFlags at 0x50");
KESTREL_STATIC_ASSERT(sizeof(VSC_LPWSTR) == 16 && sizeof(VK_TO_WCHAR_TABLE) == 16, "16-byte records");
KESTREL_STATIC_ASSERT(__builtin_offsetof(MODIFIERS, ModNumber) == 10, "column numbers at 10");
#else
KESTREL_STATIC_ASSERT(sizeof(KBDTABLES) == 0x3C, "x86 KBDTABLES is 0x3C bytes");
KESTREL_STATIC_ASSERT(__builtin_offsetof(KBDTABLES, bMaxVSCtoVK) == 0x1C, "bMaxVSCtoVK at 0x1C");
KESTREL_STATIC_ASSERT(__builtin_offsetof(KBDTABLES, fLocaleFlags) == 0x28, "fLocaleFlags at 0x28");
KESTREL_STATIC_ASSERT(__builtin_offsetof(MODIFIERS, ModNumber) == 6, "column numbers at 6");
#endif
#undef KESTREL_STATIC_ASSERT

#endif /* KESTREL_LAYOUT_KBDTABLES_H */
