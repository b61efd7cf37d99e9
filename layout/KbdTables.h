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

typedef struct {
  BYTE Vk;
  BYTE ModBits;
} VK_TO_BIT;

typedef struct {
  const VK_TO_BIT* pVkToBit;
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
  const VK_TO_WCHARS1* pVkToWchars; /* rows of cbSize bytes, ended by VirtualKey 0 */
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
  const WCHAR* pwsz;
} VSC_LPWSTR;

/* E0 and E1 lists: 4-byte records (scan code, a padding byte, code), ended by scan 0. */
typedef struct {
  BYTE Vsc;
  USHORT Vk;
} VSC_VK;

typedef struct {
  const MODIFIERS* pCharModifiers;
  const VK_TO_WCHAR_TABLE* pVkToWcharTable;
  const DEADKEY* pDeadKey;
  const VSC_LPWSTR* pKeyNames;
  const VSC_LPWSTR* pKeyNamesExt;
  const WCHAR* const* pKeyNamesDead; /* accent then name, ended by a null pointer */
  const USHORT* pusVSCtoVK;
  BYTE bMaxVSCtoVK;
  const VSC_VK* pVSCtoVK_E0;
  const VSC_VK* pVSCtoVK_E1;
  DWORD fLocaleFlags;
  BYTE nLgMax;
  BYTE cbLgEntry;
  const void* pLigature;
  DWORD dwType;
  DWORD dwSubType;
} KBDTABLES;

#ifdef __cplusplus
static_assert(sizeof(VSC_VK) == 4, "E0/E1 records are 4 bytes");
static_assert(sizeof(VK_TO_WCHARS2) == 6, "rows are packed words after two bytes");
static_assert(sizeof(DEADKEY) == 8, "dead-key records are 8 bytes");
#endif

#endif /* KESTREL_LAYOUT_KBDTABLES_H */
