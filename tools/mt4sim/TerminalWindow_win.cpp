#include "tools/mt4sim/TerminalWindow_win.h"

#include "platform/Text.h"
#include "tools/mt4sim/SimResource.h"

#include <commctrl.h>

#include <cstdio>

namespace {

constexpr UINT_PTR kWalkTimer = 1;
constexpr UINT_PTR kClockTimer = 2;
constexpr UINT_PTR kLoadTimer = 3;
// The clock is checked more often than it ticks so each second shows on time.
constexpr UINT kClockCheckMs = 200;
constexpr int kWindowWidth = 1000;
constexpr int kWindowHeight = 640;
constexpr int kChartPastBids = 300;

std::string LocalTimeText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof(text), "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    return text;
}

HFONT CreateMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return nullptr;
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

} // namespace

TerminalWindow::TerminalWindow(const SimOptions& options)
    : options_(options), market_(DefaultQuotes(options.rows), options.seed) {
    market_.SetFrozen(options.frozen);
    if (!market_.Quotes().empty()) {
        const SimQuote& first = market_.Quotes().front();
        chartData_.symbol = first.symbol;
        chartData_.digits = first.digits;
        const std::vector<std::int64_t> past = PastBids(first, options.seed, kChartPastBids);
        chartData_.bids.assign(past.begin(), past.end());
    }
}

TerminalWindow::~TerminalWindow() {
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (font_)
        DeleteObject(font_);
}

bool TerminalWindow::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    const std::wstring className = Widen(kSimTerminalClass);
    windowClass.lpszClassName = className.c_str();
    return RegisterClassExW(&windowClass) && RegisterPaneClasses(instance) &&
           RegisterChartClass(instance);
}

bool TerminalWindow::Create(HINSTANCE instance, int show) {
    font_ = CreateMessageFont();
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_SIM_MENU));
    CreateWindowExW(0, Widen(kSimTerminalClass).c_str(), Widen(TerminalTitle(options_)).c_str(),
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                    kWindowWidth, kWindowHeight, nullptr, menu, instance, this);
    if (!window_)
        return false;
    ShowWindow(window_, show);
    UpdateWindow(window_);
    return true;
}

bool TerminalWindow::PreTranslate(MSG& message) {
    for (HWND popup : {order_, alert_}) {
        if (popup && IsDialogMessageW(popup, &message))
            return true;
    }
    return false;
}

LRESULT CALLBACK TerminalWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TerminalWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TerminalWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (self)
            self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    // A fault stays in this frame; the system's frames above are not ours to unwind.
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT TerminalWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        ArrangeLayout(layout_, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_COPYDATA:
        return OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_SIM_EXIT && lParam == 0)
            PostMessageW(window_, WM_CLOSE, 0, 0);
        return 0;
    case WM_SETFOCUS:
        SetFocus(layout_.quoteList);
        return 0;
    case kSimOpenOrderMessage:
        OpenOrder(static_cast<int>(wParam));
        return 0;
    case kSimPopupClosedMessage:
        OnPopupClosed(reinterpret_cast<HWND>(wParam));
        return 0;
    case kSimHangMessage:
        Sleep(static_cast<DWORD>(wParam) * 1000u);
        return 0;
    case kSimRowCountRequestsMessage:
        return QuoteListRowCountRequests(layout_.quoteList);
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// A slow terminal shows its main window first and its panes, Market Watch among them, later.
void TerminalWindow::OnCreate() {
    if (options_.loadDelayMs > 0)
        SetTimer(window_, kLoadTimer, static_cast<UINT>(options_.loadDelayMs), nullptr);
    else
        Load();
}

void TerminalWindow::Load() {
    layout_ = BuildLayout(window_, options_.layout, font_);
    layout_.chart = CreateChart(window_, &chartData_, font_);
    ShowTime();
    ShowQuotes();
    if (!market_.Quotes().empty())
        SelectQuoteRow(layout_.quoteList, 0);
    SetTimer(window_, kWalkTimer, static_cast<UINT>(options_.intervalMs), nullptr);
    SetTimer(window_, kClockTimer, kClockCheckMs, nullptr);
    RECT client{};
    GetClientRect(window_, &client);
    ArrangeLayout(layout_, client.right, client.bottom);
}

void TerminalWindow::OnTimer(UINT_PTR id) {
    if (id == kLoadTimer) {
        KillTimer(window_, kLoadTimer);
        Load();
    } else if (id == kWalkTimer) {
        market_.Step();
        ShowQuotes();
    } else if (id == kClockTimer) {
        ShowTime();
    }
}

LRESULT TerminalWindow::OnCopyData(const COPYDATASTRUCT& data) {
    std::string payload;
    if (data.lpData && data.cbData > 0)
        payload.assign(static_cast<const char*>(data.lpData), data.cbData);
    while (!payload.empty() && payload.back() == '\0')
        payload.pop_back();
    return RunCommand(static_cast<SimCommand>(data.dwData), payload) ? 1 : 0;
}

bool TerminalWindow::RunCommand(SimCommand command, const std::string& payload) {
    switch (command) {
    case SimCommand::SelectRow: {
        const int row = ResolveRow(market_, payload);
        if (row < 0)
            return false;
        SelectQuoteRow(layout_.quoteList, row);
        return true;
    }
    case SimCommand::ShowAlert:
        ShowAlert(AlertTitle(payload));
        return true;
    case SimCommand::SetStatus:
        ShowConnection(layout_, ConnectionText(payload));
        return true;
    case SimCommand::HideTerminal:
        ShowWindow(window_, SW_HIDE);
        return true;
    case SimCommand::ShowTerminal:
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
        return true;
    case SimCommand::Hang: {
        const auto seconds = ParseInteger(payload);
        if (!seconds || *seconds < 1 || *seconds > kSimMaxHangSeconds)
            return false;
        // Answer first: a sender blocked for the whole hang could not time it.
        PostMessageW(window_, kSimHangMessage, static_cast<WPARAM>(*seconds), 0);
        return true;
    }
    case SimCommand::Quit:
        // Answer first: the sender is still waiting for this reply.
        PostMessageW(window_, WM_CLOSE, 0, 0);
        return true;
    default:
        if (!RunMarketCommand(market_, command, payload))
            return false;
        ShowQuotes();
        return true;
    }
}

void TerminalWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == layout_.quoteList && header.code == NM_DBLCLK)
        OpenOrder(SelectedQuoteRow(layout_.quoteList));
}

void TerminalWindow::OnPopupClosed(HWND popup) {
    if (popup == order_)
        order_ = nullptr;
    if (popup == alert_)
        alert_ = nullptr;
}

void TerminalWindow::OnDestroy() {
    KillTimer(window_, kWalkTimer);
    KillTimer(window_, kClockTimer);
    PostQuitMessage(0);
}

void TerminalWindow::ShowQuotes() {
    SyncQuoteList(layout_.quoteList, market_.Quotes(), shown_);
    const int row = market_.Find(chartData_.symbol);
    if (row >= 0)
        AddChartBid(layout_.chart, chartData_, market_.Quotes()[static_cast<std::size_t>(row)].bid);
}

void TerminalWindow::ShowTime() {
    const std::string now = LocalTimeText();
    if (now == shownTime_)
        return;
    shownTime_ = now;
    ShowClock(layout_, now);
}

void TerminalWindow::OpenOrder(int row) {
    const auto& quotes = market_.Quotes();
    if (row < 0 || row >= static_cast<int>(quotes.size()))
        return;
    // One order window at a time: each Enter replaces it.
    if (order_)
        DestroyWindow(order_);
    order_ = OpenOrderDialog(window_, options_.orderTitle, quotes[static_cast<std::size_t>(row)]);
}

void TerminalWindow::ShowAlert(const std::string& title) {
    if (alert_)
        DestroyWindow(alert_);
    alert_ = OpenAlertDialog(window_, title, shownTime_ + "  " + chartData_.symbol + ",M1: Alert");
}
