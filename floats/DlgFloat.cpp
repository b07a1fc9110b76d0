#include "floats/DlgFloat.h"
#include "alerts/AlertNumbers.h"
#include "common/ChangeMarks.h"
#include "common/ProgramMenu.h"
#include "common/ProgramMenuPopup.h"
#include "controls/Skin.h"
#include "floats/FloatRules.h"
#include "platform/Desktop.h"
#include "platform/Font_win.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceFormat.h"
#include "quotes/PriceLookup.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/OptionKeys.h"
#include <algorithm>
#include "settings/LangTable.h"

namespace {
constexpr UINT kRefreshMs = 2000;
constexpr COLORREF kSymbolColour = RGB(0, 150, 0);
constexpr COLORREF kPriceUpColour = RGB(0, 0, 255);
constexpr COLORREF kPriceDownColour = RGB(255, 0, 0);
constexpr int kNameFontHeight = 30;
constexpr int kDigitsFontHeight = 40;
constexpr int kLightWeight = 300;
constexpr int kMenuLeftOfWindow = 10;
constexpr int kLaidOutFrom = 4; // digit counts below this lay nothing out

std::vector<CDlgFloat*>& Registry() {
    static std::vector<CDlgFloat*> windows;
    return windows;
}

void SetText(HWND control, const std::string& text) {
    SetWindowTextW(control, Widen(text).c_str());
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& work = info.rcWork;
        reinterpret_cast<std::vector<FloatRect>*>(areas)->push_back(
            {work.left, work.top, work.right - work.left, work.bottom - work.top});
    }
    return TRUE;
}

FloatScreen CurrentScreens() {
    FloatScreen screen;
    screen.width = GetSystemMetrics(SM_CXSCREEN);
    screen.height = GetSystemMetrics(SM_CYSCREEN);
    EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea,
                        reinterpret_cast<LPARAM>(&screen.workAreas));
    for (const FloatRect& area : screen.workAreas) {
        screen.largestWidth = std::max(screen.largestWidth, area.width);
        screen.largestHeight = std::max(screen.largestHeight, area.height);
    }
    return screen;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void Place(HWND control, const FloatRect& rect) {
    MoveWindow(control, rect.left, rect.top, rect.width, rect.height, FALSE);
}
} // namespace

const MessageMap<CDlgFloat> CDlgFloat::messages = {
    onMessage(WM_INITDIALOG, &CDlgFloat::OnInitDialog, "OnInitDialog"),
    onMessage(WM_TIMER, &CDlgFloat::OnTimer, "OnTimer"),
    onMessage(WM_SIZE, &CDlgFloat::OnSize, "OnSize"),
    onMessage(WM_MOVE, &CDlgFloat::OnMove, "OnMove"),
    onMessage(WM_GETMINMAXINFO, &CDlgFloat::OnGetMinMaxInfo, "OnGetMinMaxInfo"),
    onMessage(WM_CTLCOLORSTATIC, &CDlgFloat::OnCtlColor, "OnCtlColor"),
    onMessage(WM_LBUTTONDBLCLK, &CDlgFloat::OnDoubleClick, "OnLButtonDblClk"),
    onMessage(WM_CONTEXTMENU, &CDlgFloat::OnContextMenu, "OnContextMenu"),
    onMessage(WM_CLOSE, &CDlgFloat::OnClose, "OnClose"),
    onCommand(IDC_FLOAT_HEADER, STN_CLICKED, &CDlgFloat::OnPriceClick, "OnClickPrice"),
    onCommand(IDC_FLOAT_DIGITS, STN_CLICKED, &CDlgFloat::OnPriceClick, "OnClickPrice"),
    onCommand(IDC_FLOAT_SYMBOL, STN_CLICKED, &CDlgFloat::OnSymbolClick, "OnClickSymbol"),
};

CDlgFloat::CDlgFloat(PriceBarDoor& bar, std::string symbol)
    : DialogOf(IDD_FLOAT), bar(bar), symbol(std::move(symbol)),
      autoHide(
          *this, kFloatAutoHideTimer, [this] { return AutoHideSwitchedOn(); },
          AutoHideEdges::RightLeftTop, kFloatAutoHideIdleMs) {
    Registry().push_back(this);
}

CDlgFloat::~CDlgFloat() {
    std::erase(Registry(), this);
}

bool CDlgFloat::Exists(const CDlgFloat* window) {
    return std::find(Registry().begin(), Registry().end(), window) != Registry().end();
}

CDlgFloat* CDlgFloat::Find(const std::string& symbol) {
    for (CDlgFloat* window : Registry())
        if (window->symbol == symbol && window->Handle() && !window->Ending())
            return window;
    return nullptr;
}

std::vector<CDlgFloat*> CDlgFloat::OpenWindows() {
    std::vector<CDlgFloat*> open;
    for (CDlgFloat* window : Registry())
        if (window->Handle() && !window->Ending())
            open.push_back(window);
    return open;
}

// Made with new by OpenFloatWindow (floats/DlgFloatAccess.cpp); the window's end is the object's.
void CDlgFloat::OnFinalMessage() {
    delete this;
}

MsgResult CDlgFloat::OnInitDialog(MsgWParam, MsgLParam) {
    SetText(Item(IDC_FLOAT_SYMBOL), symbol);
    for (int label : {IDC_FLOAT_SYMBOL, IDC_FLOAT_HEADER, IDC_FLOAT_DIGITS})
        ExcludeFromSkin(Item(label));
    previousPrice = kNoPriceYet;
    autoHide.Reset();
    SetText(Item(IDC_FLOAT_DIGITS), "");
    SetText(Item(IDC_FLOAT_HEADER), "");
    StartTimer(kFloatRefreshTimer, kRefreshMs);
    if (AutoHideSwitchedOn())
        autoHide.Start();
    CreateFonts();
    row = FindRow(symbol);
    ResizeToDefault();
    LayOut();
    SetIcon();
    Refresh();
    RegisterAndPlace();
    placed = true;
    return TRUE;
}

void CDlgFloat::CreateFonts() {
    symbolFont = Own(MakeFont(L"Arial", kNameFontHeight, FW_BOLD));
    headerFont = Own(MakeFont(L"Arial", kNameFontHeight, kLightWeight));
    digitsFont = Own(MakeFont(L"Arial", kDigitsFontHeight, FW_BOLD));
    const std::pair<int, HFONT> fonts[] = {{IDC_FLOAT_SYMBOL, symbolFont},
                                           {IDC_FLOAT_HEADER, headerFont},
                                           {IDC_FLOAT_DIGITS, digitsFont}};
    for (const auto& [id, font] : fonts)
        SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void CDlgFloat::SetIcon() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    const std::pair<WPARAM, int> sizes[] = {{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}};
    for (const auto& [kind, metric] : sizes) {
        const int size = GetSystemMetrics(metric);
        HANDLE icon =
            LoadImageW(module, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, size, size, LR_SHARED);
        SendMessageW(Handle(), WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
    }
}

MsgResult CDlgFloat::OnTimer(MsgWParam wParam, MsgLParam) {
    switch (TimerId(wParam)) {
    case kFloatRefreshTimer:
        Refresh();
        break;
    case kFloatAutoHideTimer:
        autoHide.OnTimer();
        break;
    default:
        break;
    }
    return 0;
}

// A pair the source does not list shows "..." and is looked for again on every refresh.
void CDlgFloat::Refresh() {
    if (row < 0) {
        row = FindRow(symbol);
        if (row < 0)
            ShowPrice(kNoPriceYet);
        return;
    }
    if (!RowStillHolds()) {
        row = FindRow(symbol);
        if (row < 0) {
            ShowPrice(kNoPriceYet);
            return;
        }
    }
    ShowPrice(GetPrice(symbol, row));
}

// The terminal's rows move when the user sorts or edits Market Watch; a row that now holds
// another pair would show that pair's price under this one's name.
bool CDlgFloat::RowStillHolds() {
    if (AppConfig().dataSource != kTerminalDataSource)
        return true;
    CMTHandler& terminal = MTHandler();
    std::string listed;
    if (!terminal.ReadCell(terminal.MarketWatchList(), row, kSymbolColumn, listed))
        return true; // the reader reports a lost terminal through the price
    return EqualsNoCase(listed, symbol);
}

void CDlgFloat::ShowPrice(const std::string& text) {
    const FloatPriceParts parts = SplitFloatPrice(text, DecimalsFor(symbol));
    digitCount = FloatDigitCount(digitCount, text);
    if (digitCount != layoutCount && digitCount >= kLaidOutFrom) {
        // Once placed, the size is the user's: only the labels move.
        if (!placed)
            ResizeToDefault();
        LayOut();
        layoutCount = digitCount;
    }
    const int direction = FloatPriceDirection(previousPrice, text);
    if (direction == kPriceRose)
        priceColour = kPriceUpColour;
    else if (direction == kPriceFell)
        priceColour = kPriceDownColour;
    if (HoldsPrice(text))
        previousPrice = text;
    SetText(Item(IDC_FLOAT_DIGITS), parts.digits);
    SetText(Item(IDC_FLOAT_HEADER), parts.header);
    // The labels overlap and draw transparently: the window erases behind them.
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CDlgFloat::ResizeToDefault() {
    SetWindowPos(Handle(), nullptr, 0, 0, kFloatSize, kFloatSize,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDlgFloat::LayOut() {
    // Measured on the whole window, as its stored size is: the labels sit clear of the line.
    const RECT rect = WindowRect(Handle());
    const FloatLayout layout =
        LayOutFloat(rect.right - rect.left, rect.bottom - rect.top, digitCount);
    Place(Item(IDC_FLOAT_LINE), layout.line);
    Place(Item(IDC_FLOAT_SYMBOL), layout.symbol);
    Place(Item(IDC_FLOAT_DIGITS), layout.digits);
    Place(Item(IDC_FLOAT_HEADER), layout.header);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CDlgFloat::RegisterAndPlace() {
    CConfig& config = Config();
    const FloatRegistration registration = RegisterFloat(
        config.Get(barkey::kFloatWindows), config.Get(barkey::kLastClosedWindows), symbol);
    config.Set(barkey::kFloatWindows, registration.openWindows);
    if (registration.lastClosed)
        config.Set(barkey::kLastClosedWindows, *registration.lastClosed);
    config.Set(symbol, floatkey::kWindowHandle,
               std::to_string(static_cast<long long>(reinterpret_cast<INT_PTR>(Handle()))));

    const StoredFloatGeometry stored = ReadFloatGeometry(
        config.Get(symbol, floatkey::kX), config.Get(symbol, floatkey::kY),
        config.Get(symbol, floatkey::kWidth), config.Get(symbol, floatkey::kHeight));
    std::optional<FloatPoint> previous;
    if (!registration.previous.empty() && Find(registration.previous)) {
        const StoredFloatGeometry below =
            ReadFloatGeometry(config.Get(registration.previous, floatkey::kX),
                              config.Get(registration.previous, floatkey::kY), "", "");
        previous = FloatPoint{below.x, below.y};
    }
    const FloatPlacement placement = PlaceFloat(stored, previous, CurrentScreens());
    const FloatRect& rect = placement.rect;
    SetWindowPos(Handle(), nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (placement.storePlace) {
        config.SetInt(symbol, floatkey::kX, rect.left);
        config.SetInt(symbol, floatkey::kY, rect.top);
    }
}

MsgResult CDlgFloat::OnSize(MsgWParam, MsgLParam) {
    if (placed && !symbol.empty()) {
        const RECT rect = WindowRect(Handle());
        Config().SetInt(symbol, floatkey::kWidth, rect.right - rect.left);
        Config().SetInt(symbol, floatkey::kHeight, rect.bottom - rect.top);
    }
    LayOut();
    return 0;
}

MsgResult CDlgFloat::OnMove(MsgWParam, MsgLParam) {
    if (autoHide.Sliding())
        return 0;
    autoHide.OnMoved();
    if (placed && !symbol.empty()) {
        const RECT rect = WindowRect(Handle());
        Config().SetInt(symbol, floatkey::kX, rect.left);
        Config().SetInt(symbol, floatkey::kY, rect.top);
    }
    return 0;
}

MsgResult CDlgFloat::OnGetMinMaxInfo(MsgWParam, MsgLParam lParam) {
    auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
    limits.ptMinTrackSize = {kFloatSize, kFloatSize};
    return 0;
}

MsgResult CDlgFloat::OnCtlColor(MsgWParam wParam, MsgLParam lParam) {
    HDC dc = DrawingContext(wParam);
    const int id = GetDlgCtrlID(ColouredControl(lParam));
    if (id != IDC_FLOAT_SYMBOL && id != IDC_FLOAT_HEADER && id != IDC_FLOAT_DIGITS) {
        PassOn();
        return 0;
    }
    if (id == IDC_FLOAT_SYMBOL)
        SetTextColor(dc, kSymbolColour);
    else if (id == IDC_FLOAT_DIGITS && priceColour)
        SetTextColor(dc, *priceColour);
    SetBkMode(dc, TRANSPARENT);
    return BrushResult(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
}

MsgResult CDlgFloat::OnDoubleClick(MsgWParam, MsgLParam) {
    MTHandler().ShowHideTerminals();
    return 0;
}

MsgResult CDlgFloat::OnPriceClick(MsgWParam, MsgLParam) {
    MTHandler().ShowHideTerminals();
    return 0;
}

MsgResult CDlgFloat::OnSymbolClick(MsgWParam, MsgLParam) {
    MTHandler().OpenOrderWindow(symbol);
    return 0;
}

MsgResult CDlgFloat::OnContextMenu(MsgWParam, MsgLParam) {
    Config().Set(barkey::kOrderSymbol, symbol);
    Config().Set(barkey::kOrderFrom, barkey::kOrderFromFloat);
    ShowProgramMenu();
    return 0;
}

// The program menu at the window's left edge; the price bar carries the command out.
void CDlgFloat::ShowProgramMenu() {
    POINT cursor{};
    GetCursorPos(&cursor);
    const RECT self = WindowRect(Handle());
    // "New Order" stays, as for a click on the bar's list.
    const UINT command = TrackProgramMenu(
        Handle(), ProgramMenuStateFor(bar.BarShown(), kMenuCallerList),
        {self.left - kMenuLeftOfWindow, cursor.y}, TPM_RIGHTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD);
    if (command)
        bar.PostBarCommand(command);
}

MsgResult CDlgFloat::OnClose(MsgWParam, MsgLParam) {
    CConfig& config = Config();
    const std::string now = NowText();
    const FloatCloseRecord record =
        RecordFloatClose(config.Get(barkey::kFloatWindows), config.Get(barkey::kLastClosedWindows),
                         config.Get(barkey::kLastClosedTime), now, symbol);
    if (record.openWindows)
        config.Set(barkey::kFloatWindows, *record.openWindows);
    config.Set(barkey::kLastClosedWindows, record.lastClosed);
    config.Set(barkey::kLastClosedTime, now);
    End(IDOK); // the timers go with the window
    if (!OpenWindows().empty())
        return 0;
    // The last window closed while the bar is hidden: nothing is left to show prices.
    if (!bar.BarShown())
        bar.CloseBar();
    if (ShowBarAgainAfterLastClose(config.Get(barkey::kHiddenSince), NowText()))
        config.Set(barkey::kDisplay, "1");
    return 0;
}

// Edge auto-hide follows the same switch as the bar's.
bool CDlgFloat::AutoHideSwitchedOn() const {
    return Config().Get(optkey::kAutoHide) == "1";
}
