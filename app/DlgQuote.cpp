#include "app/DlgQuote.h"
#include "alerts/Actions.h"
#include "alerts/AlertListRules.h"
#include "alerts/AlertWindows.h"
#include "alerts/DlgNotify.h"
#include "alerts/KindTexts.h"
#include "alerts/NotifyServices.h"
#include "app/LaterWindows.h"
#include "app/QuoteColumns.h"
#include "app/RunningInstance_win.h"
#include "app/SettingsFolder.h"
#include "common/StartupRules.h"
#include "delivery/DeliveryCenter.h"
#include "door/AppMessages.h"
#include "feed/ProgramHistory.h"
#include "floats/FloatRules.h"
#include "news/PageRecords.h"
#include "options/OptionRules.h"
#include "platform/Dpi_win.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/Params.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/Log.h"
#include "settings/OptionKeys.h"
#include "settings/SysPaths.h"
#include "settings/TextIds.h"
#include <commctrl.h>
#include "settings/LangTable.h"

namespace {
constexpr UINT kTerminalTickMs = 2000;
constexpr UINT kStartupHideMs = 1;
constexpr UINT kTrayIconId = 128;
constexpr DWORD kQuoteListStyle = 0x2131; // grid, header drag, full row, flat bars, work areas
constexpr COLORREF kListBackground = RGB(0xFF, 0xFF, 0xFF);
constexpr int kOptionsFirstPage = 0;
constexpr int kOptionsSourcePage = 2;
// A terminal still loading after two minutes is not coming.
constexpr DWORD kStartingTerminalWaitMs = 120000;
constexpr DWORD kStartingTerminalPollMs = 200;
const wchar_t* const kTerminalAlertTitles[] = {L"警报", L"Alert"};

// The test setting's period when it is one we accept, else the normal one.
UINT TerminalTickMs() {
    const auto wanted = ParseInteger(Config().Get(barkey::kTestTickMs));
    if (!wanted || *wanted < barkey::kTestTickMinMs || *wanted > static_cast<int>(kTerminalTickMs))
        return kTerminalTickMs;
    return static_cast<UINT>(*wanted);
}

std::string Caption() {
    return GetMessage(kMsgProgramTitle);
}

// A copy in a folder the user cannot write (under Program Files, say) would lose every change
// without a word. Checked before the first write, so that from then on the writes there fail
// at once and quietly; said once the instance is known to stay.
bool& SettingsFolderUnwritable() {
    static bool unwritable = false;
    return unwritable;
}

void GoReadOnlyWhenFolderUnwritable() {
    const CAppConfig& app = AppConfig();
    if (CanKeepSettingsIn(Files(), app.programFolder, {Config().GetPath(), app.alertsPath}))
        return;
    static ReadOnlyFolderFiles readOnly(Files(), app.programFolder);
    SetFiles(&readOnly);
    SettingsFolderUnwritable() = true;
}

void ReportUnwritableFolder() {
    if (SettingsFolderUnwritable())
        ShowMessageBox(WithTitle(GetMessage(kMsgFolderNotWritable),
                                 FolderForDisplay(AppConfig().programFolder)),
                       Caption());
}
} // namespace

const MessageMap<CDlgQuote> CDlgQuote::messages = {
    onMessage(WM_INITDIALOG, &CDlgQuote::OnInitDialog, "OnInitDialog"),
    onMessage(WM_TIMER, &CDlgQuote::OnTimer, "OnTimer"),
    onMessage(WM_DESTROY, &CDlgQuote::OnDestroy, "OnDestroy"),
    onMessage(WM_SIZE, &CDlgQuote::OnSize, "OnSize"),
    onMessage(WM_MOVE, &CDlgQuote::OnMove, "OnMove"),
    onMessage(WM_CTLCOLORDLG, &CDlgQuote::OnCtlColor, "OnCtlColor"),
    onMessage(WM_CTLCOLORSTATIC, &CDlgQuote::OnCtlColor, "OnCtlColor"),
    onMessage(WM_ERASEBKGND, &CDlgQuote::OnEraseBackground, "OnEraseBkgnd"),
    onMessage(WM_HOTKEY, &CDlgQuote::OnHotKey, "OnHotKey"),
    onMessage(kTrayCallbackMessage, &CDlgQuote::OnTrayNotify, "OnTrayClick"),
    onMessage(kHttpReqDoneMessage, &CDlgQuote::OnHttpDone, "OnHttpDone"),
    onMessage(kDeliveryDoneMessage, &CDlgQuote::OnDeliveryDone, "OnDeliveryDone"),
    onMessage(kQuotePage1DoneMessage, &CDlgQuote::OnQuotePage1Done, "OnQuotePage1Done"),
    onMessage(kQuotePage2DoneMessage, &CDlgQuote::OnQuotePage2Done, "OnQuotePage2Done"),
    onMessage(kRestartRequestMessage, &CDlgQuote::OnRestartRequest, "Restart"),
    onMessage(WM_LBUTTONDOWN, &CDlgQuote::OnLeftButtonDown, "OnLButtonDown"),
    onMessage(WM_SETCURSOR, &CDlgQuote::OnSetCursor, "OnSetCursor"),
    onNotify(IDC_QUOTE_LIST, NM_CUSTOMDRAW, &CDlgQuote::OnListCustomDraw, "OnCustomDraw"),
    onNotify(IDC_QUOTE_LIST, LVN_ITEMCHANGING, &CDlgQuote::OnListItemChanging, "OnItemChanging"),
    onNotify(IDC_QUOTE_LIST, NM_CLICK, &CDlgQuote::OnListClick, "OnQuoteClick"),
    onNotify(IDC_QUOTE_LIST, NM_RCLICK, &CDlgQuote::OnListRightClick, "OnQuoteRightClick"),
    onNotify(IDC_QUOTE_LIST, LVN_COLUMNCLICK, &CDlgQuote::OnColumnClick, "OnColumnClick"),
    // The list's header reports with id 0.
    onNotify(0, HDN_BEGINTRACKW, &CDlgQuote::OnColumnTrack, "OnColumnTrack"),
    onNotify(0, HDN_BEGINTRACKA, &CDlgQuote::OnColumnTrack, "OnColumnTrack"),
    onNotify(0, HDN_ENDTRACKW, &CDlgQuote::OnColumnTrack, "OnColumnTrack"),
    onNotify(0, HDN_ENDTRACKA, &CDlgQuote::OnColumnTrack, "OnColumnTrack"),
    onCommand(IDC_CLOSE_PICTURE, STN_CLICKED, &CDlgQuote::OnClosePicture, "OnClosePicture"),
    onCommand(IDC_AUTOHIDE_ON, STN_CLICKED, &CDlgQuote::OnAutoHideSwitch, "OnAutoHideSwitch"),
    onCommand(IDC_AUTOHIDE_OFF, STN_CLICKED, &CDlgQuote::OnAutoHideSwitch, "OnAutoHideSwitch"),
    onCommand(IDC_ALERTS_PICTURE, STN_CLICKED, &CDlgQuote::OnAlertsPicture, "OnAlertsPicture"),
    onCommand(IDC_OPTIONS_PICTURE, STN_CLICKED, &CDlgQuote::OnOptionsPicture, "OnOptionsPicture"),
    onCommand(IDM_CONTACT, &CDlgQuote::OnContact, "OnContact"),
    onCommand(IDM_EXIT, &CDlgQuote::OnExit, "OnExit"),
    onCommand(IDM_ALERTS, &CDlgQuote::OnAlertsCommand, "OnAlertsSettings"),
    onCommand(IDM_ALERT_HISTORY, &CDlgQuote::OnAlertHistoryCommand, "OnAlertHistory"),
    onCommand(IDM_NEWS, &CDlgQuote::OnNewsCommand, "OnNews"),
    onCommand(IDM_OPTIONS, &CDlgQuote::OnOptionsCommand, "OnOptions"),
    onCommand(IDM_PRICE_BAR, &CDlgQuote::OnPriceBarCommand, "OnPriceBar"),
    onCommand(IDM_TERMINAL, &CDlgQuote::OnTerminalCommand, "OnMetaTrader"),
    onCommand(IDM_NEW_ORDER, &CDlgQuote::OnNewOrder, "OnNewOrder"),
};

CDlgQuote::CDlgQuote()
    : DialogOf(IDD_QUOTE),
      windowWidth(AppConfig().languageIndex == kLangChinese ? kBarWidthChinese : kBarWidthOther),
      trayIcon(kTrayIconId, kTrayCallbackMessage, IDI_MAIN),
      autoHide(*this, kAutoHideTimer, [this] { return AutoHideSwitchedOn(); }) {}

CDlgQuote::~CDlgQuote() = default;

bool CDlgQuote::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (trayIcon.OnShellRestart(message))
        return false;
    return DialogOf::OnMessage(message, wParam, lParam, result);
}

MsgResult CDlgQuote::OnInitDialog(MsgWParam, MsgLParam) {
    MakeToolWindow();
    CreateDrawingTools();
    GoReadOnlyWhenFolderUnwritable();
    ReadStartState();
    if (!AttachTerminal()) {
        End(IDCANCEL);
        return TRUE;
    }
    BuildQuoteTable();
    ListenForDeliveries();
    StartCycle();
    RunFirstStartChecks();
    if (!ClaimSingleInstance()) {
        End(IDCANCEL);
        return TRUE;
    }
    ReportUnwritableFolder();
    ReopenFloatWindows();
    SetUpPictureButtons();
    return TRUE;
}

// No task-bar button; always on top.
void CDlgQuote::MakeToolWindow() {
    HWND self = Handle();
    const LONG_PTR exStyle = GetWindowLongPtrW(self, GWL_EXSTYLE);
    SetWindowLongPtrW(self, GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    SetWindowPos(self, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Who started us, the saved height, the default watched pages, the cycle's state.
void CDlgQuote::ReadStartState() {
    callerPath = CallerPathFromCommandLine(GetCommandLineText());
    if (callerPath.empty() || !FileExists(callerPath))
        callerPath = GetProgramPath();
    windowHeight = StartHeight(Config().Get(barkey::kHeight), ScaleForDpi(kDefaultBarHeight));
    WriteDefaultPages(Config(), AppConfig().languageIndex, AppConfig().serviceAddress);
    autoHide.Reset();
}

// Finds the terminal (or lets the user choose a source) and attaches to it; false when the
// program must end.
bool CDlgQuote::AttachTerminal() {
    CMTHandler& terminal = MTHandler();
    // Restarted for a terminal the user has just started: however slowly it loads, we
    // attach to it rather than ask again.
    if (HasTerminalStartingSwitch(GetCommandLineText()))
        PumpUntil([&] { return terminal.Attach(false) == kAttachOk; }, kStartingTerminalWaitMs,
                  kStartingTerminalPollMs);
    if (terminal.FindTerminalPath().empty() && terminal.EnumTerminals().empty()) {
        AppConfig().dataSource = kInternetDataSource;
        // The user has started a terminal from the options: a new instance attaches to it.
        if (OpenOptionsWindow(kOptionsSourcePage)) {
            Restart();
            return false;
        }
    }
    if (terminal.Attach(true) != kAttachOk) {
        ShowMessageBox(GetText(kTextRunTerminal), Caption());
        return false;
    }
    Config().SetInt(barkey::kDataSource, kTerminalDataSource);
    if (AppConfig().dataSource != kTerminalDataSource) {
        ShowMessageBox(GetText(kTextRunTerminal), Caption());
        return false;
    }
    return true;
}

// From here on the source is the terminal.
void CDlgQuote::BuildQuoteTable() {
    quoteList.SetExtendedStyle(kQuoteListStyle);
    ListView_SetBkColor(quoteList.Handle(), kListBackground);
    ListView_SetTextBkColor(quoteList.Handle(), kListBackground);
    columnsReady = true;
    BuildColumns(true);
    // An alert that deletes itself refills the list window when it is open.
    alerts.SetListHooks(
        {&IsAlertsListActive, &AlertsListExists, [this] { RefillAlertsOrReload(); }});
    CDlgNotify::SetOpenAlertsList([this] { OpenAlertsWindow(Door(), false); });
    ReloadAlerts();
}

void CDlgQuote::StartCycle() {
    if (Config().Get(optkey::kShowTrayIcon) != "0")
        AddTrayIcon();
    StartTimer(kMainTickTimer, TerminalTickMs());
    ApplyPlacement();
    if (StartsHidden())
        StartTimer(kStartupHideTimer, kStartupHideMs);
    else if (Config().Get(optkey::kAutoHide) == "1")
        autoHide.Start();
}

void CDlgQuote::RunFirstStartChecks() {
    if (Config().Get(barkey::kOptionsShown).empty() && !MTHandler().IsTerminalRunning())
        OpenOptionsWindow(kOptionsFirstPage);
    if (Config().Get(optkey::kHideTerminal) == "1")
        MTHandler().ShowHideTerminals();
}

// Another instance may have come up while this one started; the title is what later ones
// look for.
bool CDlgQuote::ClaimSingleInstance() {
    if (FindRunningInstance()) {
        WriteLog("Another alerter is running.");
        return false;
    }
    ShowHotKeyFailures(Handle(), RegisterHotKeys());
    SetWindowTextW(Handle(), Widen(kProductWindowTitle).c_str());
    return true;
}

// The bar was hidden while floating windows showed the prices: they show them again.
bool CDlgQuote::StartsHidden() const {
    return Config().Get(barkey::kDisplay) == "0" &&
           !FloatNames(Config().Get(barkey::kFloatWindows)).empty();
}

// The floating windows of the last run come back whether the bar shows or not.
void CDlgQuote::ReopenFloatWindows() {
    if (StartsHidden())
        ShowWindow(Handle(), SW_HIDE);
    for (const auto& symbol : FloatNames(Config().Get(barkey::kFloatWindows)))
        OpenFloatWindow(symbol);
}

MsgResult CDlgQuote::OnTimer(MsgWParam wParam, MsgLParam) {
    switch (TimerId(wParam)) {
    case kMainTickTimer:
        tickGate.Run([this] { MainTick(); });
        break;
    case kStartupHideTimer:
        StartupHideTick();
        break;
    case kRebuildTimer:
        // Not under a running tick's feet; the timer comes again.
        if (!tickGate.Busy())
            BuildColumns(true);
        break;
    case kAutoHideTimer:
        RedrawLine();
        autoHide.OnTimer();
        break;
    case kColumnWidthTimer:
        SaveColumnWidths();
        break;
    default:
        break;
    }
    return 0;
}

void CDlgQuote::MainTick() {
    if (cycleStopped)
        return;
    AnswerShowRequest();
    ShowQuote();
    if (Ending())
        return; // the terminal went away and the window is closing
    BringTerminalAlertForward();
    if (AppConfig().dataSource != kTerminalDataSource && MTHandler().IsTerminalRunning()) {
        WriteLog("Restart alerter.");
        Restart();
        return;
    }
    Guarded("WatchFeed", Failures(), Reporter(), [this] { WatchFeed(); });
    RedrawLine();
    if (AppConfig().newsEnabled)
        ShowPendingPageUpdate();
}

// A second start asks us to show ourselves through the atom.
void CDlgQuote::AnswerShowRequest() {
    const ATOM request = GlobalFindAtomW(Widen(kShowRequestAtom).c_str());
    if (!request)
        return;
    GlobalDeleteAtom(request);
    if (!IsVisible())
        ShowWindow(Handle(), SW_SHOWNORMAL);
    else if (autoHide.Hidden())
        autoHide.Reveal();
    UnregisterHotKeys();
    ShowHotKeyFailures(Handle(), RegisterHotKeys());
}

// The terminal's own alert window is never left behind other windows.
void CDlgQuote::BringTerminalAlertForward() {
    HWND alert = nullptr;
    for (const wchar_t* title : kTerminalAlertTitles) {
        alert = FindWindowW(nullptr, title);
        if (alert)
            break;
    }
    if (!alert || !IsWindowVisible(alert))
        return;
    ShowWindow(alert, SW_MINIMIZE);
    ShowWindow(alert, SW_SHOWNORMAL);
    SetForegroundWindow(alert);
}

void CDlgQuote::StartupHideTick() {
    if (IsVisible())
        wasVisible = true;
    if (StartsHidden())
        ShowWindow(Handle(), SW_HIDE);
    if (wasVisible && !IsVisible())
        StopTimer(kStartupHideTimer);
}

MsgResult CDlgQuote::OnDestroy(MsgWParam, MsgLParam) {
    TrimClosedPopupList();
    trayIcon.Remove();
    UnregisterHotKeys();
    DestroyAlertsList();
    DestroyNewsWindows();
    Deliveries().SetWake(nullptr);
    ReleasePictures();
    PassOn();
    return 0;
}

void CDlgQuote::TrimClosedPopupList() {
    const auto trimmed = TrimClosedPopups(Config().Get(barkey::kFloatWindows),
                                          Config().Get(barkey::kLastClosedWindows),
                                          Config().Get(barkey::kLastClosedTime), NowText());
    if (trimmed)
        Config().Set(barkey::kFloatWindows, *trimmed);
    Config().Set(barkey::kLastClosedWindows, "");
    Config().Set(barkey::kLastClosedTime, "");
}
