// StringIds: the string ids of the payload's string tables, grouped by
// purpose, with the arguments each format string takes. Portable: no Windows.
#pragma once

#include <stddef.h>
#include <stdint.h>

// ---- Application phases ----------------------------------------------------
constexpr uint32_t kProductNameId = 0;                 // product name (header, removal question)
constexpr uint32_t kCompletionKeyId = 4;               // HKLM key of the completion value
constexpr uint32_t kCompletionValueId = 71;            // its value name (also the read-me base name)
constexpr uint32_t kCompletionTextId = 50;             // its command, Windows XP and later
constexpr uint32_t kCompletionTextWindows2000Id = 51;  // its command, Windows 2000
constexpr uint32_t kFallbackLanguageId = 86;           // target language before Vista, hex
constexpr uint32_t kVariantNeedleId = 88;              // marks the recommended variant
constexpr uint32_t kFirstVariantTextId = 112;          // variant names 112, 113, 114
constexpr uint32_t kSecondVariantTextId = 113;
constexpr uint32_t kThirdVariantTextId = 114;

// ---- Environment checks -----------------------------------------------------
constexpr uint32_t kFileTypeId = 42;                 // document extension, its association tested
constexpr uint32_t kAssociationNeedleId = 45;        // searched in the associated program's path
constexpr uint32_t kNativeSystemInfoProcId = 58;     // procedure giving the native system info
constexpr uint32_t kNativeSystemInfoLibraryId = 142; // system library exporting 56 to 58 and 60
constexpr uint32_t kFrameClassNameId = 94;           // window class of the wizard's frame

// ---- Program paths ------------------------------------------------------------
constexpr uint32_t kVendorFolderId = 9;          // under Program Files and common Programs
constexpr uint32_t kProductFolderId = 10;        // under the vendor folder; also product key name
constexpr uint32_t kGuideNameId = 22;            // first document: "22 (23)"
constexpr uint32_t kGuideQualifierId = 23;       // also the document group's key name
constexpr uint32_t kChartNameId = 30;            // second document base name
constexpr uint32_t kDocumentExtensionId = 42;    // extension of both documents
constexpr uint32_t kShortcutExtensionId = 43;    // extension of every shortcut
constexpr uint32_t kTextFileExtensionId = 44;    // extension of the read-me
constexpr uint32_t kWebLinkExtensionId = 46;     // extension of the web links
constexpr uint32_t kSetupLinkFormatId = 48;      // setup-copy shortcut name, from text 81
constexpr uint32_t kWebLinkNameId = 70;          // web link base name
constexpr uint32_t kReadMeNameId = 71;           // read-me base name
constexpr uint32_t kWebLinkIconFileId = 80;      // icon file of the web links
constexpr uint32_t kLayoutDisplayNameId = 81;    // "Polish (Kestrel)"; also Layout Text

// ---- System primitives ----------------------------------------------------------
constexpr uint32_t kDisableFsRedirectionProcId = 56;  // in library 142
constexpr uint32_t kRevertFsRedirectionProcId = 57;   // in library 142
constexpr uint32_t kDeleteKeyExProcId = 59;           // in library 143
constexpr uint32_t kWow64SystemFolderProcId = 60;     // in library 142
constexpr uint32_t kNativeMachineProcId = 61;         // in library 142, Windows 10 1709 and later
constexpr uint32_t kRegistryLibraryId = 143;          // system library exporting 59

// ---- System registry ---------------------------------------------------------------
constexpr uint32_t kLayoutListKeyId = 3;        // HKLM list of keyboard layouts
constexpr uint32_t kScancodeMapKeyId = 5;       // HKLM key of the scan-code map
constexpr uint32_t kScancodeMapValueId = 6;
constexpr uint32_t kLayoutTextValueId = 17;     // = text 81
constexpr uint32_t kLayoutFileValueId = 18;     // = text 83
constexpr uint32_t kLayoutComponentValueId = 19;  // = text 84
constexpr uint32_t kLayoutDisplayNameValueId = 53;  // = text 54: the name in the user's language
constexpr uint32_t kLayoutDisplayNameSourceId = 54;  // "@...\kbdkestr.dll,-1000", expandable
constexpr uint32_t kLayoutIdValueId = 20;       // = text 87
constexpr uint32_t kLayoutFileNameId = 83;      // layout library file name
constexpr uint32_t kLayoutComponentId = 84;
constexpr uint32_t kLayoutKeyNameId = 85;       // KLID: key name under key 3
constexpr uint32_t kLayoutIdId = 87;
constexpr uint32_t kToggleKeyId = 13;           // HKCU per-user switching shortcuts
constexpr uint32_t kHotkeyValueId = 14;
constexpr uint32_t kLanguageHotkeyValueId = 15;
constexpr uint32_t kLayoutHotkeyValueId = 16;

// ---- Product record -------------------------------------------------------------------
constexpr uint32_t kSoftwareKeyId = 7;
constexpr uint32_t kVendorKeyId = 8;
constexpr uint32_t kProductKeyId = 10;
constexpr uint32_t kInitialInputValueId = 11;     // previousInputText
constexpr uint32_t kInitialInputFormatId = 12;    // language id, layout name
constexpr uint32_t kInstallCountValueId = 21;
constexpr uint32_t kDocumentGroupKeyId = 24;      // then key 23 under it
constexpr uint32_t kDocumentKeyId = 23;
constexpr uint32_t kGuideFileValueId = 25;
constexpr uint32_t kGuideMenuLinkValueId = 26;
constexpr uint32_t kGuideDesktopLinkValueId = 27;
constexpr uint32_t kGuideLevelValueId = 28;
constexpr uint32_t kGuideUseCountValueId = 29;
constexpr uint32_t kChartFileValueId = 31;
constexpr uint32_t kChartMenuLinkValueId = 32;
constexpr uint32_t kChartDesktopLinkValueId = 33;
constexpr uint32_t kChartLevelValueId = 34;
constexpr uint32_t kLayoutRecordParentKeyId = 36; // then key 89 under it
constexpr uint32_t kLayoutRecordKeyId = 89;       // also the version in the header line
constexpr uint32_t kSetupCopyValueId = 37;
constexpr uint32_t kSetupLinkValueId = 38;
constexpr uint32_t kLevelValueId = 39;
constexpr uint32_t kReadMeFileValueId = 72;       // 72 to 76 are walked as one group
constexpr uint32_t kReadMeMenuLinkValueId = 73;
constexpr uint32_t kReadMeDesktopLinkValueId = 74;
constexpr uint32_t kWebLinkMenuValueId = 75;
constexpr uint32_t kWebLinkDesktopValueId = 76;
constexpr uint32_t kWebLinkIconValueId = 79;
constexpr uint32_t kRecordedOptionValueId = 153;
constexpr uint32_t kKeyAssignmentsValueId = 154;
constexpr uint32_t kVariantValueId = 155;
constexpr uint32_t kDecimalOptionValueId = 156;

// ---- Input-language scripts --------------------------------------------------------------
constexpr uint32_t kScriptPrefixId = 47;          // temporary-file prefix
constexpr uint32_t kScriptCommandId = 49;         // system folder, script file
constexpr uint32_t kAddScriptId = 62;             // Windows Vista and 7
constexpr uint32_t kAddScriptWindows8Id = 63;     // Windows 8 and later, when 90 is not empty
constexpr uint32_t kDefaultFragmentId = 64;
constexpr uint32_t kRemoveScriptLegacyId = 65;    // before Windows Vista
constexpr uint32_t kRemoveScriptId = 66;          // Windows Vista and later
constexpr uint32_t kWindows8UserListId = 90;
constexpr uint32_t kRemoveLineId = 324;           // one language of 66
constexpr uint32_t kRemoveLineLegacyId = 325;     // one language of 65

// ---- File placement ------------------------------------------------------------------------
constexpr uint32_t kGuideDescriptionId = 120;
constexpr uint32_t kChartDescriptionId = 35;
constexpr uint32_t kReadMeDescriptionId = 121;
constexpr uint32_t kReadMeIconPathId = 52;
constexpr uint32_t kReadMeTextId = 67;            // Windows XP and later
constexpr uint32_t kReadMeTextWindows2000Id = 68;
constexpr uint32_t kWebLinkContentFormatId = 69;  // program folder, icon file name
constexpr uint32_t kOldGuideNameId = 77;          // left by an unrecorded installation
constexpr uint32_t kOldReadMeNameId = 78;
constexpr uint32_t kDecimalKeyPatternId = 144;
constexpr uint32_t kFirstVirtualKeyPatternId = 145;  // 145, 146, 147 by variant
constexpr uint32_t kExtendedE0PatternId = 148;
constexpr uint32_t kExtendedE1PatternId = 149;

// ---- Frame and messages ----------------------------------------------------------------------
constexpr uint32_t kMessageBoxCaptionId = 93;     // also the frame's title
constexpr uint32_t kHeaderFontFaceId = 40;
constexpr uint32_t kHeaderSuffixId = 82;          // header: 0, 89, 82
constexpr uint32_t kQuitQuestionId = 96;
constexpr uint32_t kNotAdministratorMessageId = 122;
constexpr uint32_t kUnsupportedSystemMessageId = 123;
constexpr uint32_t kForeignDesktopMessageId = 124;  // before Vista: the desktop is another user's
constexpr uint32_t kLoadRedirectionMessageId = 326;  // Windows 2000, setup.exe.local beside it
constexpr uint32_t kInstallFailedMessageId = 141;
constexpr uint32_t kRemoveQuestionFormatId = 127; // product name

// ---- Wizard pages ------------------------------------------------------------------------------
constexpr uint32_t kWizardLanguageLabelId = 1;
constexpr uint32_t kLanguageSettingsCommandId = 2;  // system folder, argument
constexpr uint32_t kLanguageSettingsArgumentId = 95;
constexpr uint32_t kPolishItemId = 91;
constexpr uint32_t kEnglishItemId = 92;
constexpr uint32_t kWelcomeHeadingFormatId = 97;    // layout name
constexpr uint32_t kInstalledHeadingFormatId = 139; // layout name
constexpr uint32_t kWelcomeBodyId = 129;
constexpr uint32_t kInstalledTextId = 134;          // welcome body and finish heading
constexpr uint32_t kCancelButtonId = 98;
constexpr uint32_t kNextButtonId = 99;
constexpr uint32_t kBackButtonId = 100;
constexpr uint32_t kInstallButtonId = 104;
constexpr uint32_t kRemoveButtonId = 125;
constexpr uint32_t kUpdateButtonId = 126;
constexpr uint32_t kLanguageSettingsButtonId = 138;
constexpr uint32_t kLicenceHeadingId = 130;
constexpr uint32_t kLicenceAcceptId = 105;
constexpr uint32_t kTargetLanguageLabelFormatId = 101;  // layout name
constexpr uint32_t kDefaultLanguageFormatId = 102;      // language and layout
constexpr uint32_t kFinalStepOptionId = 137;
constexpr uint32_t kDesktopShortcutsOptionId = 106;
constexpr uint32_t kRecordedOptionLabelId = 108;
constexpr uint32_t kVariantLabelId = 109;
constexpr uint32_t kDecimalLabelId = 110;
constexpr uint32_t kRestartNoteId = 111;
constexpr uint32_t kDecimalCommaItemId = 118;
constexpr uint32_t kDecimalStopItemId = 119;
constexpr uint32_t kKeyAssignmentButtonId = 150;
constexpr uint32_t kKeyRemapButtonId = 151;
constexpr uint32_t kInstalledResultId = 133;        // Windows Vista and later
constexpr uint32_t kLegacyInstalledResultFormatId = 132;  // before Vista: layout name
constexpr uint32_t kRemovedResultId = 128;
constexpr uint32_t kNoPdfViewerId = 131;
constexpr uint32_t kRestartButtonId = 135;

// ---- Key names ---------------------------------------------------------------------------------
// Fixed per key (KeyRow::keyNumber); 153 to 156 are value names, not keys.
constexpr uint32_t kFirstKeyNameId = 152;
constexpr uint32_t kLastKeyNameId = 323;
constexpr uint32_t kNoKeyNameId = 152;        // "(none)": closing row, item row 0
constexpr uint32_t kDisabledKeyNameId = 323;  // key produces nothing / is switched off

// ---- Uninstall entry: the product in Windows' list of programs ----------------------------
constexpr uint32_t kUninstallListKeyId = 327;     // under HKLM
constexpr uint32_t kUninstallEntryKeyId = 328;    // this product's key under it
constexpr uint32_t kUninstallNameValueId = 329;   // = text 340
constexpr uint32_t kUninstallVersionValueId = 330;  // = text 341
constexpr uint32_t kUninstallPublisherValueId = 331;  // = text 8
constexpr uint32_t kUninstallIconValueId = 332;   // the setup copy
constexpr uint32_t kUninstallLocationValueId = 333;  // the program folder
constexpr uint32_t kUninstallCommandValueId = 334;   // the setup copy, quoted
constexpr uint32_t kUninstallModifyValueId = 335;    // the same
constexpr uint32_t kUninstallAboutValueId = 336;  // = text 342
constexpr uint32_t kUninstallSizeValueId = 337;   // kilobytes of the files placed
constexpr uint32_t kUninstallNoModifyValueId = 338;  // 0: Change offers Update
constexpr uint32_t kUninstallNoRepairValueId = 339;  // 1
constexpr uint32_t kUninstallDisplayNameId = 340;
constexpr uint32_t kProductVersionId = 341;
constexpr uint32_t kProductWebAddressId = 342;

// ---- Format strings ------------------------------------------------------------------------------
// Each letter is one argument, in order: i int, s wide text, n UTF-8 text,
// z text object, c character.
struct FormatSignature {
  uint32_t id;
  const char* arguments;
};

constexpr FormatSignature kFormatSignatures[] = {
    {2, "ss"},       // associated program, its argument (text 95)
    {12, "is"},      // language id, layout name
    {48, "s"},       // text 81
    {49, "ss"},      // system folder, script file
    {62, "iss"},     // language id, text 85, default fragment
    {63, "sissii"},  // text 90, language id, text 85, default fragment, language id twice
    {65, "ss"},      // lines of 325, an empty text
    {66, "s"},       // lines of 324
    {69, "ss"},      // program folder, text 80
    {97, "s"},       // text 81
    {101, "s"},      // text 81
    {102, "s"},      // language name - text 81
    {127, "s"},      // text 0
    {132, "s"},      // text 81
    {139, "s"},      // text 81
    {324, "is"},     // language id, text 85
    {325, "is"},     // language id, text 85
};

// ---- Ids each interface-language table must hold ------------------------------------------------
constexpr uint32_t kLanguageTextIds[] = {
    0, 1, 22, 30, 35, 48, 67, 68, 70, 71, 82, 88, 91, 92, 93, 96, 97, 98, 99,
    100, 101, 102, 104, 105, 106, 108, 109, 110, 111, 112, 113, 114, 118, 119,
    120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 137,
    138, 139, 141, 150, 151, 152, 159, 163, 164, 165, 166, 170, 171, 172, 173,
    174, 175, 176, 177, 178, 179, 180, 181, 185, 186, 187, 188, 189, 190, 191,
    192, 193, 194, 195, 196, 197, 198, 199, 200, 201, 202, 203, 204, 205, 206,
    207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 220, 221,
    222, 223, 224, 225, 226, 227, 228, 229, 240, 241, 243, 245, 246, 247, 248,
    249, 250, 251, 252, 253, 254, 255, 256, 257, 258, 259, 260, 261, 262, 263,
    264, 265, 266, 267, 268, 269, 270, 271, 272, 275, 276, 277, 278, 279, 280,
    281, 282, 283, 284, 285, 286, 287, 288, 289, 290, 291, 292, 293, 294, 295,
    296, 297, 298, 299, 300, 301, 302, 303, 304, 305, 306, 307, 308, 309, 310,
    311, 312, 314, 323, 326,
};

constexpr size_t kLanguageTextIdCount = sizeof(kLanguageTextIds) / sizeof(kLanguageTextIds[0]);
static_assert(kLanguageTextIdCount == 191, "language table ids changed");

// Every id named above, so that a test can check that each one has a text.
constexpr uint32_t kNamedStringIds[] = {
    kProductNameId,
    kCompletionKeyId,
    kCompletionValueId,
    kCompletionTextId,
    kCompletionTextWindows2000Id,
    kFallbackLanguageId,
    kVariantNeedleId,
    kFirstVariantTextId,
    kSecondVariantTextId,
    kThirdVariantTextId,
    kFileTypeId,
    kAssociationNeedleId,
    kNativeSystemInfoProcId,
    kNativeSystemInfoLibraryId,
    kFrameClassNameId,
    kVendorFolderId,
    kProductFolderId,
    kGuideNameId,
    kGuideQualifierId,
    kChartNameId,
    kDocumentExtensionId,
    kShortcutExtensionId,
    kTextFileExtensionId,
    kWebLinkExtensionId,
    kSetupLinkFormatId,
    kWebLinkNameId,
    kReadMeNameId,
    kWebLinkIconFileId,
    kLayoutDisplayNameId,
    kDisableFsRedirectionProcId,
    kRevertFsRedirectionProcId,
    kDeleteKeyExProcId,
    kWow64SystemFolderProcId,
    kNativeMachineProcId,
    kRegistryLibraryId,
    kLayoutListKeyId,
    kScancodeMapKeyId,
    kScancodeMapValueId,
    kLayoutTextValueId,
    kLayoutFileValueId,
    kLayoutComponentValueId,
    kLayoutDisplayNameValueId,
    kLayoutDisplayNameSourceId,
    kLayoutIdValueId,
    kLayoutFileNameId,
    kLayoutComponentId,
    kLayoutKeyNameId,
    kLayoutIdId,
    kToggleKeyId,
    kHotkeyValueId,
    kLanguageHotkeyValueId,
    kLayoutHotkeyValueId,
    kSoftwareKeyId,
    kVendorKeyId,
    kProductKeyId,
    kInitialInputValueId,
    kInitialInputFormatId,
    kInstallCountValueId,
    kDocumentGroupKeyId,
    kDocumentKeyId,
    kGuideFileValueId,
    kGuideMenuLinkValueId,
    kGuideDesktopLinkValueId,
    kGuideLevelValueId,
    kGuideUseCountValueId,
    kChartFileValueId,
    kChartMenuLinkValueId,
    kChartDesktopLinkValueId,
    kChartLevelValueId,
    kLayoutRecordParentKeyId,
    kLayoutRecordKeyId,
    kSetupCopyValueId,
    kSetupLinkValueId,
    kLevelValueId,
    kReadMeFileValueId,
    kReadMeMenuLinkValueId,
    kReadMeDesktopLinkValueId,
    kWebLinkMenuValueId,
    kWebLinkDesktopValueId,
    kWebLinkIconValueId,
    kRecordedOptionValueId,
    kKeyAssignmentsValueId,
    kVariantValueId,
    kDecimalOptionValueId,
    kScriptPrefixId,
    kScriptCommandId,
    kAddScriptId,
    kAddScriptWindows8Id,
    kDefaultFragmentId,
    kRemoveScriptLegacyId,
    kRemoveScriptId,
    kWindows8UserListId,
    kRemoveLineId,
    kRemoveLineLegacyId,
    kGuideDescriptionId,
    kChartDescriptionId,
    kReadMeDescriptionId,
    kReadMeIconPathId,
    kReadMeTextId,
    kReadMeTextWindows2000Id,
    kWebLinkContentFormatId,
    kOldGuideNameId,
    kOldReadMeNameId,
    kDecimalKeyPatternId,
    kFirstVirtualKeyPatternId,
    kExtendedE0PatternId,
    kExtendedE1PatternId,
    kMessageBoxCaptionId,
    kHeaderFontFaceId,
    kHeaderSuffixId,
    kQuitQuestionId,
    kNotAdministratorMessageId,
    kUnsupportedSystemMessageId,
    kForeignDesktopMessageId,
    kLoadRedirectionMessageId,
    kUninstallListKeyId,
    kUninstallEntryKeyId,
    kUninstallNameValueId,
    kUninstallVersionValueId,
    kUninstallPublisherValueId,
    kUninstallIconValueId,
    kUninstallLocationValueId,
    kUninstallCommandValueId,
    kUninstallModifyValueId,
    kUninstallAboutValueId,
    kUninstallSizeValueId,
    kUninstallNoModifyValueId,
    kUninstallNoRepairValueId,
    kUninstallDisplayNameId,
    kProductVersionId,
    kProductWebAddressId,
    kInstallFailedMessageId,
    kRemoveQuestionFormatId,
    kWizardLanguageLabelId,
    kLanguageSettingsCommandId,
    kLanguageSettingsArgumentId,
    kPolishItemId,
    kEnglishItemId,
    kWelcomeHeadingFormatId,
    kInstalledHeadingFormatId,
    kWelcomeBodyId,
    kInstalledTextId,
    kCancelButtonId,
    kNextButtonId,
    kBackButtonId,
    kInstallButtonId,
    kRemoveButtonId,
    kUpdateButtonId,
    kLanguageSettingsButtonId,
    kLicenceHeadingId,
    kLicenceAcceptId,
    kTargetLanguageLabelFormatId,
    kDefaultLanguageFormatId,
    kFinalStepOptionId,
    kDesktopShortcutsOptionId,
    kRecordedOptionLabelId,
    kVariantLabelId,
    kDecimalLabelId,
    kRestartNoteId,
    kDecimalCommaItemId,
    kDecimalStopItemId,
    kKeyAssignmentButtonId,
    kKeyRemapButtonId,
    kInstalledResultId,
    kLegacyInstalledResultFormatId,
    kRemovedResultId,
    kNoPdfViewerId,
    kRestartButtonId,
    kFirstKeyNameId,
    kLastKeyNameId,
    kNoKeyNameId,
    kDisabledKeyNameId,
};

