#include "app/DlgQuote.h"
#include "alerts/Actions.h"
#include "alerts/DlgNotify.h"
#include "alerts/NotifyServices.h"
#include "app/LaterWindows.h"
#include "app/ProgramMenu.h"
#include "app/QuoteColumns.h"
#include "app/StartupRules.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceLookup.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/Log.h"
#include "settings/SysPaths.h"
#include <commctrl.h>
#include "settings/LangTable.h"

namespace {
constexpr DWORD kQuoteListStyle = 0x2131; // grid, header drag, full row, flat bars, work areas
constexpr COLORREF kBarBackground = RGB(0xEE, 0xF1, 0xF5); // as the button artwork
constexpr COLORREF kLineColour = RGB(0x3B, 0x7D, 0xD8);
constexpr COLORREF kListBackground = RGB(0xFF, 0xFF, 0xFF);
constexpr int kButtonSize = 16;
constexpr int kButtonGap = 4;
constexpr int kButtonPanel = 2 * kButtonSize + 3 * kButtonGap; // right of the list
constexpr int kLanguageChinese = 1;
constexpr int kTerminalGoneMessage = 18;
constexpr int kCaptionMessage = 0;
constexpr int kRunTerminalText = 97;
constexpr int kOptionsSourcePage = 2;
constexpr int kOptionsFirstPage = 0;
const wchar_t* const kDialogClass = L"#32770";
const wchar_t* const kTerminalAlertTitles[] = {L"警报", L"Alert"};

std::string Caption() {
    return GetMessage(kCaptionMessage);
}

int ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
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
    onMessage(kHttpDoneMessage, &CDlgQuote::OnHttpDone, "OnHttpDone"),
    onMessage(kQuotePage1Message, &CDlgQuote::OnQuotePage1Done, "OnQuotePage1Done"),
    onMessage(kQuotePage2Message, &CDlgQuote::OnQuotePage2Done, "OnQuotePage2Done"),
    onMessage(kRestartRequestMessage, &CDlgQuote::OnRestartRequest, "Restart"),
    onMessage(WM_LBUTTONDOWN, &CDlgQuote::OnLeftButtonDown, "OnLButtonDown"),
    onMessage(WM_SETCURSOR, &CDlgQuote::OnSetCursor, "OnSetCursor"),
    onNotify(IDC_QUOTE_LIST, NM_CUSTOMDRAW, &CDlgQuote::OnListCustomDraw, "OnCustomDraw"),
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
    onCommand(IDC_SHOW_MT, &CDlgQuote::OnShowTerminalButton, "OnShowMT"),
    onCommand(IDC_HIDE_MT, &CDlgQuote::OnShowTerminalButton, "OnHideMT"),
    onCommand(IDM_CONTACT, &CDlgQuote::OnContact, "OnContact"),
    onCommand(IDM_EXIT, &CDlgQuote::OnExit, "OnExit"),
    onCommand(IDM_ALERTS, &CDlgQuote::OnAlertsCommand, "OnAlertsSettings"),
    onCommand(IDM_NEWS, &CDlgQuote::OnNewsCommand, "OnNews"),
    onCommand(IDM_OPTIONS, &CDlgQuote::OnOptionsCommand, "OnOptions"),
    onCommand(IDM_PRICE_BAR, &CDlgQuote::OnPriceBarCommand, "OnPriceBar"),
    onCommand(IDM_TERMINAL, &CDlgQuote::OnTerminalCommand, "OnMetaTrader"),
    onCommand(IDM_NEW_ORDER, &CDlgQuote::OnNewOrder, "OnNewOrder"),
};

CDlgQuote::CDlgQuote()
    : Dialog(IDD_QUOTE),
      windowWidth(AppConfig().languageIndex == kLanguageChinese ? kBarWidthChinese
                                                                : kBarWidthOther) {}

CDlgQuote::~CDlgQuote() = default;

bool CDlgQuote::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (taskbarCreatedMessage && message == taskbarCreatedMessage) {
        // The shell has restarted and forgotten our icon.
        if (trayIconShown)
            AddTrayIcon();
        return false;
    }
    return DispatchMap(*this, messages, message, wParam, lParam, result);
}

MsgResult CDlgQuote::OnInitDialog(MsgWParam, MsgLParam) {
    HWND self = Handle();
    // 1. No task-bar button; always on top.
    LONG_PTR exStyle = GetWindowLongPtrW(self, GWL_EXSTYLE);
    SetWindowLongPtrW(self, GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    SetWindowPos(self, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    windowIcon = static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    SendMessageW(self, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon));
    backgroundBrush = Own(CreateSolidBrush(kBarBackground));
    lineBrush = Own(CreateSolidBrush(kLineColour));
    priceFont = Own(CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    quoteList.Attach(Item(IDC_QUOTE_LIST));

    // 4. Who started us.
    callerPath = CallerPathFromCommandLine(GetCommandLineText());
    if (callerPath.empty() || !FileExists(callerPath))
        callerPath = GetProgramPath();
    // 5.-7.
    windowHeight = StartHeight(Config().Get("H"), windowHeight);
    if (Config().Get("NEWSTAB", "NUM").empty())
        WriteDefaultWatchedPages();
    edgeHidden = false;
    sliding = false;
    slideArmed = true;
    autoHideInterval = kAutoHideIdleMs;

    // 8.-10. The terminal.
    CMTHandler& terminal = MTHandler();
    if (terminal.FindTerminalPath().empty() && terminal.EnumTerminals().empty()) {
        AppConfig().dataSource = kInternetDataSource;
        OpenOptionsWindow(kOptionsSourcePage);
    }
    if (terminal.Attach(true) != kAttachOk) {
        ShowMessageBox(GetText(kRunTerminalText), Caption());
        End(IDCANCEL);
        return TRUE;
    }
    Config().SetInt("SOURCE", kTerminalDataSource);
    if (AppConfig().dataSource != kTerminalDataSource) {
        ShowMessageBox(GetText(kRunTerminalText), Caption());
        End(IDCANCEL);
        return TRUE;
    }

    // 11. The quote table.
    quoteList.SetExtendedStyle(kQuoteListStyle);
    ListView_SetBkColor(quoteList.Handle(), kListBackground);
    ListView_SetTextBkColor(quoteList.Handle(), kListBackground);
    columnsReady = AppConfig().dataSource == kTerminalDataSource;
    BuildColumns(true);
    ReloadAlerts();

    // 12.-15.
    if (Config().Get("OPTGENSHOWICON") != "0")
        AddTrayIcon();
    StartTimer(kMainTickTimer,
               AppConfig().dataSource == kTerminalDataSource ? kTerminalTickMs : kInternetTickMs);
    ApplyPlacement();
    const bool startHidden = Config().Get("DISPLAY") == "0" && !Config().Get("POPWIN").empty();
    if (startHidden)
        StartTimer(kStartupHideTimer, kStartupHideMs);
    else if (Config().Get("OPTGENAUTOHIDE") == "1")
        StartTimer(kAutoHideTimer, autoHideInterval);

    // 16.-17.
    if (Config().Get("SHOWOPTION").empty() && !terminal.IsTerminalRunning())
        OpenOptionsWindow(kOptionsFirstPage);
    if (Config().Get("OPTGENHIDEMT4") == "1")
        terminal.ShowHideTerminals();

    // 18. Another instance may have come up meanwhile.
    if (FindWindowW(kDialogClass, Widen(kProductWindowTitle).c_str())) {
        WriteLog("Another alerter is running.");
        End(IDCANCEL);
        return TRUE;
    }
    RegisterHotKeys();
    SetWindowTextW(self, Widen(kProductWindowTitle).c_str());

    // 19.
    if (startHidden) {
        ShowWindow(self, SW_HIDE);
        for (const auto& symbol : SplitList(Config().Get("POPWIN")))
            OpenFloatWindow(symbol);
    }
    SetUpPictureButtons();
    return TRUE;
}

MsgResult CDlgQuote::OnTimer(MsgWParam wParam, MsgLParam) {
    switch (TimerId(wParam)) {
    case kMainTickTimer:
        MainTick();
        break;
    case kStartupHideTimer:
        StartupHideTick();
        break;
    case kRebuildTimer:
        BuildColumns(true);
        break;
    case kAutoHideTimer:
        AutoHideTick();
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
    if (!IsVisible()) {
        ShowWindow(Handle(), SW_SHOWNORMAL);
    } else if (edgeHidden) {
        autoHideInterval = kAutoHideIdleMs;
        StartTimer(kAutoHideTimer, autoHideInterval);
        edgeHidden = false;
        slideArmed = true;
        MoveTop(kRevealedTop);
    }
    UnregisterHotKeys();
    RegisterHotKeys();
}

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
    if (Config().Get("DISPLAY") == "0" && !Config().Get("POPWIN").empty())
        ShowWindow(Handle(), SW_HIDE);
    if (wasVisible && !IsVisible())
        StopTimer(kStartupHideTimer);
}

void CDlgQuote::AutoHideTick() {
    RedrawLine();
    if (autoHideInterval == kAutoHideIdleMs) {
        autoHideInterval = kAutoHideTrackingMs;
        StartTimer(kAutoHideTimer, autoHideInterval);
    }
    AutoHideStep();
}

void CDlgQuote::AutoHideStep() {
    if (IsWindowVisible(Item(IDC_AUTOHIDE_OFF)))
        return; // auto-hide is switched off
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    POINT cursor{};
    GetCursorPos(&cursor);
    const BarRect bar{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    if (edgeHidden && !bar.Contains(cursor.x, cursor.y))
        return;
    if (autoHideInterval == kAutoHideIdleMs)
        StartTimer(kAutoHideTimer, autoHideInterval);
    sliding = true;
    bool animate = false;
    switch (DecideAutoHide(bar, cursor.x, cursor.y, {edgeHidden, slideArmed}, animate)) {
    case AutoHideAction::SlideUp: {
        const std::vector<int> tops = SlideUpTops(bar.height);
        if (animate) {
            slideArmed = false;
            ShowWindow(Handle(), SW_SHOWNORMAL);
            for (std::size_t i = 0; i + 1 < tops.size(); ++i) {
                MoveTop(tops[i]);
                Sleep(kSlideStepPauseMs);
            }
        }
        MoveTop(tops.back());
        edgeHidden = true;
        break;
    }
    case AutoHideAction::Reveal:
        MoveTop(kRevealedTop);
        edgeHidden = false;
        break;
    case AutoHideAction::None:
        break;
    }
    sliding = false;
}

void CDlgQuote::MoveTop(int top) {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    SetWindowPos(Handle(), nullptr, rect.left, top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

MsgResult CDlgQuote::OnColumnTrack(MsgWParam, MsgLParam) {
    StartTimer(kColumnWidthTimer, kColumnWidthDelayMs);
    PassOn(); // the header goes on tracking
    return 0;
}

void CDlgQuote::SaveColumnWidths() {
    int width = showTime ? kSavedWidthMarginWithTime : kSavedWidthMargin;
    std::vector<int> widths;
    for (int column = 0; column < quoteList.ColumnCount(); ++column) {
        widths.push_back(quoteList.ColumnWidth(column));
        width += widths.back();
    }
    Config().Set("ColumnWidth", WidthsText(widths));
    SetWindowPos(Handle(), nullptr, 0, 0, width, windowHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    StopTimer(kColumnWidthTimer);
}

void CDlgQuote::ApplyPlacement() {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    const Placement placement =
        PlanPlacement(Config().Get("X"), Config().Get("Y"), Config().Get("W"), Config().Get("H"),
                      ScreenWidth(), rect.right - rect.left);
    if (placement.resize)
        SetWindowPos(Handle(), nullptr, placement.x, placement.y, placement.width, placement.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetWindowPos(Handle(), nullptr, placement.x, placement.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    placed = true;
}

MsgResult CDlgQuote::OnSize(MsgWParam, MsgLParam lParam) {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    const int currentWidth = rect.right - rect.left;
    const int currentHeight = rect.bottom - rect.top;
    const SizeDecision size = DecideSize(currentWidth, currentHeight, ScreenWidth(), windowHeight);
    windowHeight = size.height;
    if (size.width != currentWidth || size.height != currentHeight)
        SetWindowPos(Handle(), nullptr, 0, 0, size.width, size.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutControls(SizeWidth(lParam), SizeHeight(lParam));
    if (placed && size.width != windowWidth) {
        Config().SetInt("W", size.width);
        Config().SetInt("H", size.height);
    }
    return 0;
}

void CDlgQuote::LayoutControls(int width, int height) {
    const int listWidth = std::max(0, width - kButtonPanel);
    MoveWindow(Item(IDC_QUOTE_LIST), 0, 0, listWidth, height - 1, TRUE);
    const int column1 = listWidth + kButtonGap;
    const int column2 = column1 + kButtonSize + kButtonGap;
    const int row1 = kButtonGap;
    const int row2 = row1 + kButtonSize + kButtonGap;
    MoveWindow(Item(IDC_AUTOHIDE_ON), column1, row1, kButtonSize, kButtonSize, TRUE);
    MoveWindow(Item(IDC_AUTOHIDE_OFF), column1, row1, kButtonSize, kButtonSize, TRUE);
    MoveWindow(Item(IDC_CLOSE_PICTURE), column2, row1, kButtonSize, kButtonSize, TRUE);
    MoveWindow(Item(IDC_ALERTS_PICTURE), column1, row2, kButtonSize, kButtonSize, TRUE);
    MoveWindow(Item(IDC_OPTIONS_PICTURE), column2, row2, kButtonSize, kButtonSize, TRUE);
    MoveWindow(Item(IDC_LINE_PICTURE), 0, height - 1, width, 1, TRUE);
}

MsgResult CDlgQuote::OnMove(MsgWParam, MsgLParam) {
    edgeHidden = false;
    if (placed && !sliding) {
        RECT rect{};
        GetWindowRect(Handle(), &rect);
        Config().SetInt("X", rect.left);
        Config().SetInt("Y", rect.top);
    }
    InvalidateRect(Handle(), nullptr, TRUE);
    return 0;
}

MsgResult CDlgQuote::OnCtlColor(MsgWParam wParam, MsgLParam lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control == Item(IDC_LINE_PICTURE))
        return reinterpret_cast<MsgResult>(lineBrush);
    SetBkColor(reinterpret_cast<HDC>(wParam), kBarBackground);
    return reinterpret_cast<MsgResult>(backgroundBrush);
}

MsgResult CDlgQuote::OnEraseBackground(MsgWParam wParam, MsgLParam) {
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, backgroundBrush);
    return TRUE;
}

void CDlgQuote::RedrawLine() {
    RedrawWindow(Item(IDC_LINE_PICTURE), nullptr, nullptr,
                 RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

MsgResult CDlgQuote::OnQuotePage1Done(MsgWParam, MsgLParam lParam) {
    internetQuotes.OnPageDone(internetWindow, 1, static_cast<int>(lParam));
    return 0;
}

MsgResult CDlgQuote::OnQuotePage2Done(MsgWParam, MsgLParam lParam) {
    internetQuotes.OnPageDone(internetWindow, 2, static_cast<int>(lParam));
    return 0;
}

void CDlgQuote::InternetWindow::BuildColumnsFromPages() {
    bar.columnsReady = true;
    bar.BuildColumns(true);
}

MsgResult CDlgQuote::OnHttpDone(MsgWParam wParam, MsgLParam lParam) {
    if (static_cast<int>(wParam) == kEmailRequestNumber) {
        LogEmailCompletion(static_cast<long long>(lParam), CHttpReq::ResponseText());
        httpRequest.ClearBusy();
    }
    return 0;
}

MsgResult CDlgQuote::OnRestartRequest(MsgWParam, MsgLParam) {
    Restart();
    return 0;
}

void CDlgQuote::Restart() {
    const std::wstring oldTitle = Widen(std::string(kProductWindowTitle));
    SetWindowTextW(Handle(), (oldTitle + Widen(kRestartTitleSuffix)).c_str());
    UnregisterHotKeys();
    const std::wstring program = Widen(GetProgramPath());
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        // Still the one instance: keep the title others look for, and the keys.
        SetWindowTextW(Handle(), oldTitle.c_str());
        RegisterHotKeys();
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    End(IDOK);
}

MsgResult CDlgQuote::OnDestroy(MsgWParam, MsgLParam) {
    TrimClosedPopupList();
    RemoveTrayIcon();
    UnregisterHotKeys();
    DestroyAlertsList();
    DestroyPageWindows();
    ReleasePictures();
    PassOn();
    return 0;
}

void CDlgQuote::TrimClosedPopupList() {
    const auto trimmed = TrimClosedPopups(Config().Get("POPWIN"), Config().Get("LASTCLSWIN"),
                                          Config().Get("LASTCLSTIME"), NowText());
    if (trimmed)
        Config().Set("POPWIN", *trimmed);
    Config().Set("LASTCLSWIN", "");
    Config().Set("LASTCLSTIME", "");
}

void CDlgQuote::DestroyPageWindows() {
    const int pages = LeadingDecimal(Config().Get("NEWSTAB", "NUM"));
    for (int page = 0; page < pages; ++page) {
        const auto handle = ParseDecimal(Config().Get("NEWSTAB" + std::to_string(page), "HWD"));
        if (!handle || *handle == 0)
            continue;
        HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(*handle));
        if (IsWindow(window))
            DestroyWindow(window);
    }
}

void CDlgQuote::ReleasePictures() {
    for (int id : {IDC_AUTOHIDE_ON, IDC_AUTOHIDE_OFF, IDC_ALERTS_PICTURE, IDC_OPTIONS_PICTURE,
                   IDC_CLOSE_PICTURE}) {
        HWND picture = Item(id);
        HGDIOBJ image =
            reinterpret_cast<HGDIOBJ>(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (image)
            DeleteObject(image);
    }
    if (windowIcon) {
        DestroyIcon(windowIcon);
        windowIcon = nullptr;
    }
    if (toolTips) {
        DestroyWindow(toolTips);
        toolTips = nullptr;
    }
}

void CDlgQuote::ReloadAlerts() {
    alerts.SetPath(AppConfig().alertsPath);
    // The alerts list window is not there yet: the table is reloaded instead of refilled.
    alerts.SetListHooks({&IsAlertsListActive, [] { return false; }, [] {}});
    CDlgNotify::SetOpenAlertsList([] { OpenAlertsWindow(false); });
    alerts.ReloadAlerts();
}

void CDlgQuote::CheckNotify(const std::string& symbol, const std::string& previous,
                            const std::string& price) {
    std::optional<FiredAlert> fired;
    Guarded("CheckNotify", Failures(), Reporter(),
            [&] { fired = alerts.CheckNotify(symbol, previous, price); });
    if (!fired)
        return;
    Guarded("ShowNotify", Failures(), Reporter(), [&] {
        ShowNotify(*fired, PlatformNotifyServices([this](const std::string& url) {
            httpRequest.Request(reinterpret_cast<WindowHandle>(Handle()), url, "", true, false,
                                kEmailRequestNumber);
        }));
    });
}
