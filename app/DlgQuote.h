#pragma once
// The price bar: the program's main window. Win32 code only.
#include "alerts/Evaluation.h"
#include "app/BarGeometry.h"
#include "app/ChangeMarks.h"
#include "app/HotKeys.h"
#include "app/QuoteScan.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "quotes/FXData.h"
#include "quotes/InternetQuotes.h"
#include <array>
#include <string>

// Timers of the main window.
inline constexpr UINT_PTR kMainTickTimer = 1;
inline constexpr UINT_PTR kStartupHideTimer = 2;
inline constexpr UINT_PTR kRebuildTimer = 3;
inline constexpr UINT_PTR kAutoHideTimer = 4;
inline constexpr UINT_PTR kColumnWidthTimer = 5;
inline constexpr UINT kTerminalTickMs = 2000;
inline constexpr UINT kInternetTickMs = 4000;
inline constexpr UINT kRebuildDelayMs = 1000;
inline constexpr UINT kAutoHideIdleMs = 1000;
inline constexpr UINT kAutoHideTrackingMs = 100;
inline constexpr UINT kColumnWidthDelayMs = 500;
inline constexpr UINT kStartupHideMs = 1;
inline constexpr DWORD kSlideStepPauseMs = 10;

inline constexpr UINT kTrayCallbackMessage = 0x83E8;
inline constexpr UINT kTrayIconId = 128;
inline constexpr UINT kHttpDoneMessage = WM_USER + 1;
inline constexpr UINT kQuotePage1Message = WM_USER + 101;
inline constexpr UINT kQuotePage2Message = WM_USER + 201;
// Asks the bar to restart once the sender's own work is over (the data-source page posts it
// from inside the modal options window).
inline constexpr UINT kRestartRequestMessage = WM_APP + 1;

class CDlgQuote final : public Dialog {
public:
    CDlgQuote();
    ~CDlgQuote() override;

    static const MessageMap<CDlgQuote> messages;

    void ShowQuote();
    void CheckNotify(const std::string& symbol, const std::string& previous,
                     const std::string& price);
    void RegisterHotKeys();
    void UnregisterHotKeys();
    void ReloadAlerts();
    void Restart();
    void SetMessageRow(const std::string& text);
    void BuildColumns(bool rebuild);

private:
    // The bar as the Internet quote path drives it.
    class InternetWindow final : public QuoteWindow {
    public:
        explicit InternetWindow(CDlgQuote& bar) : bar(bar) {}
        WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(bar.Handle()); }
        bool ColumnsReady() override { return bar.columnsReady; }
        void BuildColumnsFromPages() override;
        void SetMessageRow(const std::string& text) override { bar.SetMessageRow(text); }
        void StopMainTimer() override { bar.StopTimer(kMainTickTimer); }
        void StartMainTimer() override { bar.StartTimer(kMainTickTimer, kInternetTickMs); }

    private:
        CDlgQuote& bar;
    };

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    // Life cycle (DlgQuote.cpp).
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnTimer(MsgWParam, MsgLParam);
    MsgResult OnDestroy(MsgWParam, MsgLParam);
    MsgResult OnSize(MsgWParam, MsgLParam);
    MsgResult OnMove(MsgWParam, MsgLParam);
    MsgResult OnCtlColor(MsgWParam, MsgLParam);
    MsgResult OnEraseBackground(MsgWParam, MsgLParam);
    MsgResult OnQuotePage1Done(MsgWParam, MsgLParam);
    MsgResult OnQuotePage2Done(MsgWParam, MsgLParam);
    MsgResult OnHttpDone(MsgWParam, MsgLParam);
    MsgResult OnColumnTrack(MsgWParam, MsgLParam);
    MsgResult OnRestartRequest(MsgWParam, MsgLParam);
    void MainTick();
    void AnswerShowRequest();
    void BringTerminalAlertForward();
    void StartupHideTick();
    void AutoHideTick();
    void AutoHideStep();
    void SaveColumnWidths();
    void ApplyPlacement();
    void LayoutControls(int width, int height);
    void TrimClosedPopupList();
    void DestroyPageWindows();
    void ReleasePictures();
    void MoveTop(int top);
    void RedrawLine();
    bool TimeColumnShown() const { return showTime; }

    // Quote table (DlgQuoteTable.cpp).
    void ShowPrice1();
    void ShowPrice2();
    void TrackChange(int column, const std::string& previous, const std::string& current);
    MsgResult OnListCustomDraw(MsgWParam, MsgLParam);
    MsgResult OnListClick(MsgWParam, MsgLParam);
    MsgResult OnListRightClick(MsgWParam, MsgLParam);
    MsgResult OnColumnClick(MsgWParam, MsgLParam);
    MsgResult OnNewOrder(MsgWParam, MsgLParam);
    int FirstPriceColumn() const { return showTime ? 1 : 0; }

    // Tray, menu, visibility and hot keys (DlgQuoteTray.cpp).
    bool AddTrayIcon();
    void RemoveTrayIcon();
    void ShowProgramMenu(const std::string& caller);
    void ToggleTerminal();
    void TogglePriceBar();
    void SetUpPictureButtons();
    MsgResult OnTrayNotify(MsgWParam, MsgLParam);
    MsgResult OnHotKey(MsgWParam, MsgLParam);
    MsgResult OnClosePicture(MsgWParam, MsgLParam);
    MsgResult OnAutoHideSwitch(MsgWParam, MsgLParam);
    MsgResult OnAlertsPicture(MsgWParam, MsgLParam);
    MsgResult OnOptionsPicture(MsgWParam, MsgLParam);
    MsgResult OnShowTerminalButton(MsgWParam, MsgLParam);
    MsgResult OnContact(MsgWParam, MsgLParam);
    MsgResult OnExit(MsgWParam, MsgLParam);
    MsgResult OnAlertsCommand(MsgWParam, MsgLParam);
    MsgResult OnNewsCommand(MsgWParam, MsgLParam);
    MsgResult OnOptionsCommand(MsgWParam, MsgLParam);
    MsgResult OnPriceBarCommand(MsgWParam, MsgLParam);
    MsgResult OnTerminalCommand(MsgWParam, MsgLParam);
    MsgResult OnLeftButtonDown(MsgWParam, MsgLParam);
    MsgResult OnSetCursor(MsgWParam, MsgLParam);

    std::string callerPath;
    int windowWidth;
    int windowHeight = kDefaultBarHeight;
    bool edgeHidden = false;
    bool slideArmed = false;
    UINT autoHideInterval = kAutoHideIdleMs;
    bool sliding = false;
    bool wasVisible = false;
    bool placed = false;
    bool showTime = false;
    bool columnsReady = false;
    bool trayIconShown = false;
    bool tableBuilt = false;
    std::array<ATOM, kHotKeyCount> hotKeyAtoms{};
    ListView quoteList;
    COLORREF priceUpColour = 0x00FF0000;
    COLORREF priceDownColour = 0x000000FF;
    std::string displayList;
    CQuoteScan scan;
    CChangeMarks changeMarks;
    CAlertBook alerts;
    CHttpReq httpRequest; // the e-mail notices
    CInternetQuotes internetQuotes;
    InternetWindow internetWindow{*this};
    HBRUSH backgroundBrush = nullptr;
    HBRUSH lineBrush = nullptr;
    HFONT priceFont = nullptr;
    HICON windowIcon = nullptr;
    HWND toolTips = nullptr;
    UINT taskbarCreatedMessage = 0;
};
