#pragma once
// The command identifiers that menu items, accelerators and quick buttons
// send to the frame, and the quick buttons' control ids.

namespace ravik::command {

inline constexpr int kNew = 113;
inline constexpr int kOpen = 112;
inline constexpr int kAppend = 147;
inline constexpr int kSave = 110;
inline constexpr int kSaveAs = 111;
inline constexpr int kSaveAsLocked = 173;
// File, Find Readings...: the readings archive's search window.
inline constexpr int kFindReadings = 186;
inline constexpr int kPrint = 141;
inline constexpr int kPrintTable = 138;
inline constexpr int kPrintSpectra = 137;
inline constexpr int kPrinterSetup = 132;
inline constexpr int kAlloyLibrary = 176;
inline constexpr int kExit = 122;
inline constexpr int kEditReading = 1035;
inline constexpr int kSite = 1044;
inline constexpr int kHideReading = 155;
inline constexpr int kUnhideReading = 156;
inline constexpr int kDisplay = 177;
inline constexpr int kCommunication = 178;
inline constexpr int kProtocol = 179;
inline constexpr int kOutput = 185;
inline constexpr int kColumnsPaint = 180;
inline constexpr int kColumnsBulk = 181;
inline constexpr int kColumnsThin = 182;
inline constexpr int kColumnsAlloy = 183;
inline constexpr int kColumnsSign = 184;
inline constexpr int kReceive = 143;
inline constexpr int kConnectionEnded = 144;
inline constexpr int kSend = 174;
inline constexpr int kRemote = 65535;
inline constexpr int kHorizontalTile = 148;
inline constexpr int kVerticalTile = 149;
inline constexpr int kCascade = 119;
inline constexpr int kArrangeIcons = 120;
inline constexpr int kCloseAll = 121;
// Window, Compare Spectra...: the spectrum compare window.
inline constexpr int kCompareSpectra = 2201;
inline constexpr int kHelp = 50;
inline constexpr int kQuickHelp = 32651;
inline constexpr int kAbout = 115;
inline constexpr int kFrameLayout = 104;
// Ctrl+C and Ctrl+Insert: the marked readings of the active table to the clipboard.
inline constexpr int kCopy = 22;
// The Window menu's list of open windows starts here.
inline constexpr int kFirstChildWindow = 4101;

}  // namespace ravik::command

namespace ravik::control {

// The quick buttons.
inline constexpr int kOpenButton = 1032;
inline constexpr int kSaveButton = 1029;
inline constexpr int kPrintButton = 1030;
inline constexpr int kRemoteButton = 1027;
inline constexpr int kConnectButton = 1031;
inline constexpr int kHelpButton = 1033;

// The site dialog "SiteDialogBox".
inline constexpr int kSiteEdit = 1044;
inline constexpr int kSiteReset = 1023;

}  // namespace ravik::control
