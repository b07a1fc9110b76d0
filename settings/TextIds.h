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

// The alert editor and the alerts list.
inline constexpr int kTextSubmit = 1;
inline constexpr int kTextTest = 2;
inline constexpr int kTextReset = 3;
inline constexpr int kTextClose = 5;
inline constexpr int kTextRefresh = 6;
inline constexpr int kTextCurrency = 8;
inline constexpr int kTextSelectCurrency = 9;
inline constexpr int kTextBid = 14;
inline constexpr int kTextAsk = 15;
inline constexpr int kTextEnable = 17;
inline constexpr int kTextInformation = 19;
inline constexpr int kTextAction = 20;
inline constexpr int kTextNotification = 21;
inline constexpr int kTextSound = 22;
inline constexpr int kTextVoice = 23;
inline constexpr int kTextSelectOne = 25;
inline constexpr int kTextInputContent = 26;
inline constexpr int kTextInputCondition = 27;
inline constexpr int kTextSoundFile = 28;
inline constexpr int kTextOneAction = 32;
inline constexpr int kTextSpeakLast = 35;
inline constexpr int kTextNumber = 36;
inline constexpr int kTextNoName = 37;
inline constexpr int kTextDisableAll = 41;
inline constexpr int kTextDeleteColumn = 42;
inline constexpr int kTextEmail = 78;
inline constexpr int kTextEveryPips = 101;
inline constexpr int kTextCaption = 103;
inline constexpr int kTextSelectLabel = 105;
inline constexpr int kTextAdd = 106;
inline constexpr int kTextEdit = 107;
inline constexpr int kTextDelete = 108;
inline constexpr int kTextClear = 109;
inline constexpr int kTextAnd = 110;
inline constexpr int kTextHour = 111;
inline constexpr int kTextDefault = 113;
inline constexpr int kTextCustom = 114;
inline constexpr int kTextAutoDelete = 115;
inline constexpr int kTextTimes = 116;
inline constexpr int kTextDisabled = 117;
inline constexpr int kTextAlwaysOnTop = 122;
inline constexpr int kTextFinished = 123;
inline constexpr int kTextUnlimited = 124;
inline constexpr int kTextEveryMins = 125;
inline constexpr int kTextAskDelete = 131;
inline constexpr int kTextAskClear = 132;

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
// The data-source page.
inline constexpr int kTextAskChooseTerminal = 66;
inline constexpr int kTextOtherSourceByEmail = 69;
inline constexpr int kTextAskChangeSource = 70;
inline constexpr int kMsgSwitchTerminal = 26;
// The web page watch.
inline constexpr int kMsgNotWebPage = 27;
inline constexpr int kMsgPageNotLoaded = 28; // %s: why
// The web page watch.
inline constexpr int kTextClickToView = 4;
inline constexpr int kTextIsUpdated = 73;
inline constexpr int kTextRefreshing = 74;
inline constexpr int kTextAskRemovePage = 75;
inline constexpr int kTextRemovePage = 82;
inline constexpr int kTextNewsAdd = 83;
inline constexpr int kTextNewsEdit = 84;
inline constexpr int kTextNewsName = 85;
inline constexpr int kTextNewsUrl = 86;
inline constexpr int kTextEnterNameAndUrl = 88;
inline constexpr int kTextNotifyUpdated = 89;
inline constexpr int kTextCheckEvery = 90;
inline constexpr int kTextMinutes = 91;
// Start-up.
inline constexpr int kMsgFolderNotWritable = 29; // %s: the program folder

// Delivery through the user's own mail server and to the phone.
inline constexpr int kTextSendThrough = 200;
inline constexpr int kTextRouteService = 201;
inline constexpr int kTextRouteOwnServer = 202;
inline constexpr int kTextSmtpServer = 203;
inline constexpr int kTextSmtpPort = 204;
inline constexpr int kTextSmtpSecurity = 205;
inline constexpr int kTextTlsOnConnect = 206;
inline constexpr int kTextStartTls = 207;
inline constexpr int kTextNoSecurity = 208;
inline constexpr int kTextSmtpUser = 209;
inline constexpr int kTextSmtpPassword = 210;
inline constexpr int kTextSmtpFrom = 211;
inline constexpr int kTextSendTestEmail = 212;
inline constexpr int kTextPhone = 213;
inline constexpr int kTextBotToken = 214;
inline constexpr int kTextChatId = 215;
inline constexpr int kTextNtfyServer = 216;
inline constexpr int kTextTopic = 217;
inline constexpr int kTextWebhookUrl = 218;
inline constexpr int kTextSendTest = 219;
inline constexpr int kTextSending = 220;
inline constexpr int kTextSent = 221;
inline constexpr int kTextSendFailed = 222;
inline constexpr int kTextEnterMailServer = 223;
inline constexpr int kTextBadPort = 224;
inline constexpr int kTextTestNotice = 225;
inline constexpr int kTextFillChannel = 226;

// The feed guard and the alert history.
inline constexpr int kTextFeedPair = 230;
inline constexpr int kTextFeedNoPriceSince = 231;
inline constexpr int kTextFeedStoppedPopup = 232;
inline constexpr int kTextFeedTerminalSays = 233;
inline constexpr int kTextFeedMovingAgain = 234;
inline constexpr int kTextFeedGuardOn = 235;
inline constexpr int kTextFeedGuardMinutes = 236;
inline constexpr int kTextAlertHistory = 237;
inline constexpr int kTextAlertHistoryMenu = 238;
inline constexpr int kTextHistoryButton = 239;
inline constexpr int kTextHistoryTime = 240;
inline constexpr int kTextHistoryPair = 241;
inline constexpr int kTextHistoryEvent = 242;
inline constexpr int kTextHistoryPrice = 243;
inline constexpr int kTextHistoryDetails = 244;
inline constexpr int kTextHistoryAllPairs = 245;
inline constexpr int kTextOpenAsSpreadsheet = 246;
inline constexpr int kTextClearHistory = 247;
inline constexpr int kTextAskClearHistory = 248;
inline constexpr int kTextHistoryFilter = 249;
inline constexpr int kTextHistoryFired = 250;
inline constexpr int kTextHistoryStopped = 251;
inline constexpr int kTextHistoryDisconnected = 252;
inline constexpr int kTextHistoryMoving = 253;
inline constexpr int kTextHistorySent = 254;
inline constexpr int kTextHistoryFailed = 255;

// Secrets of the phone page that cannot be read or stored protected.
inline constexpr int kTextSecretUnreadable = 256;
inline constexpr int kTextSecretNotProtected = 257;

// The alerts list's "Clear" question: how many alerts go, how many of them are not listed.
// Apart from the entries above, so that texts added there meanwhile keep their numbers.
inline constexpr int kTextClearCount = 280;
inline constexpr int kTextClearHiddenCount = 281;
