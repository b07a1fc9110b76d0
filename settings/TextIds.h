#pragma once
// The entries of the language table that the code uses, named once: kText* for GetText,
// kMsg* for GetMessage.

inline constexpr int kTextConditions = 18;
inline constexpr int kTextContact = 10;
inline constexpr int kTextExit = 11;
inline constexpr int kTextShow = 12;
inline constexpr int kTextHide = 13;
inline constexpr int kTextAlertsSettings = 29;
inline constexpr int kTextPriceBar = 30;
inline constexpr int kTextTerminal = 31;
inline constexpr int kTextEvery = 33;
inline constexpr int kTextPips = 34;
inline constexpr int kTextPrice = 38;
inline constexpr int kTextOptions = 44;
inline constexpr int kTextHotKeyTerminal = 51;
inline constexpr int kTextHotKeyPriceBar = 52;
inline constexpr int kTextHotKeyTray = 53;
inline constexpr int kTextHotKeyFailureHead = 54;
inline constexpr int kTextReceivingPrices = 60;
inline constexpr int kTextNews = 81;
inline constexpr int kTextHotKeyNews = 94;
inline constexpr int kTextNewOrder = 95;
inline constexpr int kTextOrderHint = 96;
inline constexpr int kTextRunTerminal = 97;
inline constexpr int kTextLocalTime = 102;
inline constexpr int kTextAny = 104;
inline constexpr int kTextMinute = 112;
inline constexpr int kTextHotKeyAlerts = 121;
inline constexpr int kTextCloseTip = 126;
inline constexpr int kTextAlertsTip = 127;
inline constexpr int kTextAutoHideTip = 128;
inline constexpr int kTextNewsTip = 129;

inline constexpr int kMsgProgramTitle = 0; // the caption of every message box
inline constexpr int kMsgStartTerminal = 14;
inline constexpr int kMsgMarketWatchGone = 16;
inline constexpr int kMsgMarketWatchUnreadable = 17;
inline constexpr int kMsgTerminalGone = 18;
inline constexpr int kMsgPageFailed = 20;
// The options window.
inline constexpr int kTextOptGeneral = 45;
inline constexpr int kTextOptHotKeys = 46;
inline constexpr int kTextOptWithWindows = 47;
inline constexpr int kTextOptRunTerminal = 48;
inline constexpr int kTextOptHideTerminal = 49;
inline constexpr int kTextOptTrayIcon = 50;
inline constexpr int kTextOptOk = 55;
inline constexpr int kTextOptCancel = 56;
inline constexpr int kTextOptApply = 57;
inline constexpr int kTextOptSource = 61;
inline constexpr int kTextOptSourceHead = 62;
inline constexpr int kTextOptSourceTerminal = 63;
inline constexpr int kTextOptSourceInternet = 64;
inline constexpr int kTextOptSourceOther = 65;
inline constexpr int kTextOptSelectTerminal = 76;
inline constexpr int kTextChooseTerminal = 77;
inline constexpr int kTextOptEmailHead = 79;
inline constexpr int kTextInvalidEmail = 80;
inline constexpr int kTextOptEmail = 118;
inline constexpr int kTextOptClosePopup = 119;
inline constexpr int kTextOptSeconds = 120;
