#pragma once
// The price bar: the program's main window. Win32 code only.
#include "alerts/AlertHold.h"
#include "alerts/Evaluation.h"
#include "app/EmailRequests.h"
#include "app/QuoteRefresh.h"
#include "app/QuoteScan.h"
#include "common/BarGeometry.h"
#include "common/ChangeMarks.h"
#include "common/EdgeAutoHide.h"
#include "common/GlobalHotKeys.h"
#include "door/PriceBarDoor.h"
#include "feed/FeedGuard.h"
#include "feed/FeedGuardKeys.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/TrayIcon.h"
#include "quotes/InternetQuotes.h"
#include "quotes/StatusBarReader.h"
#include <memory>
#include <string>
#include <vector>

// Timers of the main window.
inline constexpr UINT_PTR kMainTickTimer = 1;
inline constexpr UINT_PTR kStartupHideTimer = 2;
inline constexpr UINT_PTR kRebuildTimer = 3;
inline constexpr UINT_PTR kAutoHideTimer = 4;
inline constexpr UINT_PTR kColumnWidthTimer = 5;

inline constexpr COLORREF kBarBackground = RGB(0xEE, 0xF1, 0xF5); // as the button artwork

// The bar is the door the other windows reach it through (door/PriceBarDoor.h).
class CDlgQuote final : public DialogOf<CDlgQuote>, private PriceBarDoor {
public:
    CDlgQuote();
    ~CDlgQuote() override;

    static const MessageMap<CDlgQuote> messages;

    void ShowQuote();
    void Restart();
    void SetMessageRow(const std::string& text);
    void BuildColumns(bool rebuild);

private:
    // The door (DlgQuoteDoor.cpp).
    PriceBarDoor& Door() { return *this; }
    HWND BarWindow() const override { return Handle(); }
    bool BarShown() const override { return IsVisible(); }
    void CloseBar() override { End(IDOK); }
    void PostBarCommand(UINT command) override;
    void RequestRestart() override;
    void ReloadAlerts() override;
    void RebuildColumns() override { BuildColumns(true); }
    std::string CellText(const std::string& symbol) const override;
    bool QuotePagesPending() const override { return internetQuotes.FirstRoundPending(); }
    void OpenFloatWindow(const std::string& symbol) override;
    bool OpenOptionsWindow(int page) override;
    void OpenHistoryWindow() override;
    std::vector<int> RegisterHotKeys() override;
    void ShowTrayIcon(bool on) override;
    void UnregisterHotKeys() { hotKeys.Unregister(); }
    // The alerts list's refill after the book changed; the bar's own reload without it.
    void RefillAlertsOrReload();

    // The bar as the Internet quote path drives it.
    class InternetWindow final : public QuoteWindow {
    public:
        explicit InternetWindow(CDlgQuote& bar) : bar(bar) {}
        WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(bar.Handle()); }
        bool ColumnsReady() override { return bar.columnsReady; }
        void BuildColumnsFromPages() override;
        void SetMessageRow(const std::string& text) override { bar.SetMessageRow(text); }
        void StopMainTimer() override;
        void StartMainTimer() override;

    private:
        CDlgQuote& bar;
    };

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    // Start, main cycle and end (DlgQuote.cpp).
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnTimer(MsgWParam, MsgLParam);
    MsgResult OnDestroy(MsgWParam, MsgLParam);
    MsgResult OnQuotePage1Done(MsgWParam, MsgLParam);
    MsgResult OnQuotePage2Done(MsgWParam, MsgLParam);
    MsgResult OnHttpDone(MsgWParam, MsgLParam);
    MsgResult OnDeliveryDone(MsgWParam, MsgLParam);
    void ListenForDeliveries();
    MsgResult OnRestartRequest(MsgWParam, MsgLParam);
    void MakeToolWindow();
    void CreateDrawingTools();
    void ReadStartState();
    bool AttachTerminal();
    void BuildQuoteTable();
    void StartCycle();
    void RunFirstStartChecks();
    bool ClaimSingleInstance();
    bool StartsHidden() const;
    void ReopenFloatWindows();
    void MainTick();
    void AnswerShowRequest();
    void BringTerminalAlertForward();
    void StartupHideTick();
    void TrimClosedPopupList();
    void ReleasePictures();
    void CheckNotify(const std::string& symbol, const std::string& previous,
                     const std::string& price, const QuoteSides* sides = nullptr);
    void SnoozeAlert(const FiredAlert& alert, SnoozeChoice choice);

    // Place, size and drawing (DlgQuoteLayout.cpp).
    MsgResult OnSize(MsgWParam, MsgLParam);
    MsgResult OnMove(MsgWParam, MsgLParam);
    MsgResult OnCtlColor(MsgWParam, MsgLParam);
    MsgResult OnEraseBackground(MsgWParam, MsgLParam);
    MsgResult OnColumnTrack(MsgWParam, MsgLParam);
    MsgResult OnLeftButtonDown(MsgWParam, MsgLParam);
    MsgResult OnSetCursor(MsgWParam, MsgLParam);
    void ApplyPlacement();
    void LayoutControls(int width, int height);
    void SaveColumnWidths();
    void RedrawLine();

    // Quote table (DlgQuoteTable.cpp).
    void ShowPrice1();
    void ShowPrice2();
    void TrackChange(int column, const std::string& previous, const std::string& current);
    void WatchFeed();
    void ReadFeedSettings();
    void RaiseFeedEvent(const FeedEvent& event);
    void ShowFeedQuiet(bool quiet);
    MsgResult OnListCustomDraw(MsgWParam, MsgLParam);
    MsgResult OnListItemChanging(MsgWParam, MsgLParam);
    MsgResult OnListClick(MsgWParam, MsgLParam);
    MsgResult OnListRightClick(MsgWParam, MsgLParam);
    MsgResult OnColumnClick(MsgWParam, MsgLParam);
    MsgResult OnNewOrder(MsgWParam, MsgLParam);
    int FirstPriceColumn() const { return showTime ? 1 : 0; }

    // Tray, menu, picture buttons and hot keys (DlgQuoteMenu.cpp).
    void AddTrayIcon();
    void ShowProgramMenu(const std::string& caller);
    void ToggleTerminal();
    void TogglePriceBar();
    void SetUpPictureButtons();
    bool AutoHideSwitchedOn() const;
    MsgResult OnTrayNotify(MsgWParam, MsgLParam);
    MsgResult OnHotKey(MsgWParam, MsgLParam);
    MsgResult OnClosePicture(MsgWParam, MsgLParam);
    MsgResult OnAutoHideSwitch(MsgWParam, MsgLParam);
    MsgResult OnAlertsPicture(MsgWParam, MsgLParam);
    MsgResult OnOptionsPicture(MsgWParam, MsgLParam);
    MsgResult OnContact(MsgWParam, MsgLParam);
    MsgResult OnExit(MsgWParam, MsgLParam);
    MsgResult OnAlertsCommand(MsgWParam, MsgLParam);
    MsgResult OnAlertHistoryCommand(MsgWParam, MsgLParam);
    MsgResult OnNewsCommand(MsgWParam, MsgLParam);
    MsgResult OnOptionsCommand(MsgWParam, MsgLParam);
    MsgResult OnPriceBarCommand(MsgWParam, MsgLParam);
    MsgResult OnTerminalCommand(MsgWParam, MsgLParam);

    std::string callerPath; // the launcher, for the log-on entry of the options
    int windowWidth;
    int windowHeight = kDefaultBarHeight;
    bool wasVisible = false;
    bool cycleStopped = false; // set when a new instance takes over
    bool placed = false;
    bool showTime = false; // the time column: off in this edition, kept by the table's design
    bool columnsReady = false;
    bool tableBuilt = false;
    ListView quoteList;
    COLORREF priceUpColour = 0x00FF0000;
    COLORREF priceDownColour = 0x000000FF;
    std::string displayList;
    CTickGate tickGate;
    CQuoteScan scan;
    CChangeMarks changeMarks;
    CAlertBook alerts;
    CEmailRequests emailRequests;
    CInternetQuotes internetQuotes;
    InternetWindow internetWindow{*this};
    TrayIcon trayIcon;
    GlobalHotKeys hotKeys;
    EdgeAutoHide autoHide;
    HBRUSH backgroundBrush = nullptr;
    HBRUSH lineBrush = nullptr;
    HFONT priceFont = nullptr;
    HICON windowIcon = nullptr;
    HWND toolTips = nullptr;
    std::unique_ptr<FeedGuard> feedGuard;
    FeedGuardSettings feedSettings;
    std::uint32_t feedSettingsReadAt = 0;
    long long feedUtcShift = 0;
    StatusBarReader statusBar;
    bool feedQuiet = false;
    std::string feedTip;
};
