// The quote table of the price bar: columns, price refresh, colours and clicks.
#include "app/DlgQuote.h"
#include "app/LaterWindows.h"
#include "app/QuoteColumns.h"
#include "app/TerminalRows.h"
#include "common/ProgramMenu.h"
#include "platform/Dpi_win.h"
#include "platform/MessageBox.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceLookup.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include <commctrl.h>
#include "settings/LangTable.h"

namespace {
constexpr UINT kRebuildDelayMs = 1000;
constexpr int kTimeColumnWidth = 60;
constexpr COLORREF kCellBackground = RGB(0xFF, 0xFF, 0xFF);
const char* const kTimeColumnTitle = "Time";
const char* const kCurrencyEmptyText = "Currency Empty";

// The bar's one row as the refresh sees it.
class RowCells final : public QuoteCells {
public:
    explicit RowCells(ListView& list) : list(list) {}
    std::string Text(int column) override { return list.ItemText(0, column); }
    void SetText(int column, const std::string& text) override {
        list.SetItemText(0, column, text);
    }

private:
    ListView& list;
};

// Topmost, with nothing shown above it but its own windows: raising it again on every tick
// would cost the window system a round of work for nothing.
bool AboveOtherWindows(HWND bar) {
    if (!(GetWindowLongPtrW(bar, GWL_EXSTYLE) & WS_EX_TOPMOST))
        return false;
    for (HWND above = GetWindow(bar, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
        if (IsWindowVisible(above) && GetWindow(above, GW_OWNER) != bar)
            return false;
    return true;
}
} // namespace

void CDlgQuote::BuildColumns(bool rebuild) {
    if (AppConfig().dataSource != kTerminalDataSource && !columnsReady) {
        SetWindowPos(Handle(), nullptr, 0, 0, windowWidth, windowHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    StopTimer(kRebuildTimer);
    if (rebuild)
        RefreshAlertsList();
    // A message row left by SetMessageRow goes as well.
    quoteList.DeleteAllItems();
    quoteList.DeleteAllColumns();
    // The list keeps its first column left-aligned; with a placeholder in front, every real
    // column is inserted centred and keeps that once the placeholder goes.
    quoteList.InsertColumn(0, "", 0, LVCFMT_LEFT);
    if (showTime)
        quoteList.InsertColumn(1, kTimeColumnTitle, ScaleForDpi(kTimeColumnWidth));

    displayList = Config().Get(barkey::kDisplayList);
    std::vector<std::string> terminalSymbols;
    if (displayList.size() < 2 || SplitList(displayList).empty())
        GetSymbols(terminalSymbols); // the reader reports its own failures
    const ColumnPlan plan = PlanColumns(displayList, Config().Get(barkey::kColumnWidths),
                                        terminalSymbols, showTime, ScreenDpi());
    for (std::size_t i = 0; i < plan.symbols.size(); ++i)
        quoteList.InsertColumn(FirstPriceColumn() + static_cast<int>(i) + 1, plan.symbols[i],
                               plan.widths[i]);
    quoteList.DeleteColumn(0);
    quoteList.InsertItem(0, "");
    if (plan.symbols.empty()) {
        StopTimer(kRebuildTimer);
        return;
    }
    if (plan.fromTerminal) {
        displayList = plan.newDisplayList;
        Config().Set(barkey::kDisplayList, displayList);
    }
    const int lastColumns = ParseInteger(Config().Get(barkey::kLastColumnCount)).value_or(-1);
    if (lastColumns != static_cast<int>(plan.symbols.size())) {
        Config().SetInt(barkey::kLastColumnCount, quoteList.ColumnCount());
        Config().SetInt(barkey::kWidth, plan.barWidth);
    }
    changeMarks.Reset(static_cast<std::size_t>(quoteList.ColumnCount()));
    scan.Reset();
    windowWidth = plan.barWidth;
    SetWindowPos(Handle(), nullptr, 0, 0, windowWidth, windowHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    tableBuilt = true;
    ShowQuote();
    if (Handle())
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CDlgQuote::ShowQuote() {
    Guarded("ShowQuote", Failures(), Reporter(), [this] {
        if (Config().Get(barkey::kBringToTop) != "0" && !AboveOtherWindows(Handle()))
            SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (AppConfig().dataSource == kTerminalDataSource)
            ShowPrice1();
        else
            ShowPrice2();
    });
}

void CDlgQuote::ShowPrice1() {
    Guarded("ShowPrice1", Failures(), Reporter(), [this] {
        CMTHandler& terminal = MTHandler();
        if (!CurrentDesktop().IsWindow(terminal.MarketWatchList())) {
            ShowWindow(Handle(), SW_SHOWNORMAL);
            StopTimer(kMainTickTimer);
            ShowMessageBox(GetMessage(kMsgTerminalGone), GetMessage(kMsgProgramTitle));
            End(IDCANCEL);
            return;
        }
        if (!tableBuilt)
            return;
        if (showTime)
            quoteList.SetItemText(0, 0, terminal.ReadMarketTimeFile());
        std::vector<std::string> symbols;
        for (int column = FirstPriceColumn(); column < quoteList.ColumnCount(); ++column)
            symbols.push_back(quoteList.ColumnTitle(column));
        TerminalRows rows(terminal);
        RowCells cells(quoteList);
        RefreshFromTerminal(
            scan, symbols, FirstPriceColumn(), displayList, rows, cells,
            [this, &rows](int column, const std::string& symbol, const std::string& previous,
                          const std::string& price) {
                // The other column only for a pair with a spread alert.
                const QuoteSides sides =
                    alerts.WatchesSpread(symbol) ? rows.Sides(symbol) : QuoteSides{};
                CheckNotify(symbol, previous, price, sides.ask.empty() ? nullptr : &sides);
                TrackChange(column, previous, price);
            });
    });
}

void CDlgQuote::ShowPrice2() {
    Guarded("ShowPrice2", Failures(), Reporter(), [this] {
        if (!internetQuotes.Refresh(internetWindow))
            return;
        for (int column = FirstPriceColumn(); column < quoteList.ColumnCount(); ++column) {
            const std::string symbol = quoteList.ColumnTitle(column);
            const InternetCell cell =
                internetQuotes.ReadCell(symbol, quoteList.ItemText(0, column));
            quoteList.SetItemText(0, column, cell.price);
            CheckNotify(symbol, cell.previous, cell.price);
            TrackChange(column, cell.previous, cell.price);
        }
    });
}

void CDlgQuote::SetMessageRow(const std::string& text) {
    quoteList.DeleteAllItems();
    quoteList.DeleteAllColumns();
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    quoteList.InsertColumn(0, "", rect.right - rect.left, LVCFMT_LEFT);
    quoteList.InsertItem(0, text);
    columnsReady = false;
    tableBuilt = false;
    StartTimer(kRebuildTimer, kRebuildDelayMs);
}

void CDlgQuote::TrackChange(int column, const std::string& previous, const std::string& current) {
    changeMarks.Track(static_cast<std::size_t>(column), previous, current);
    // An unchanged price keeps its colour: nothing to draw anew.
    if (previous != current)
        quoteList.RedrawAll();
}

MsgResult CDlgQuote::OnListCustomDraw(MsgWParam, MsgLParam lParam) {
    auto& draw = NotifyAs<NMLVCUSTOMDRAW>(lParam);
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const int direction = changeMarks.Direction(static_cast<std::size_t>(draw.iSubItem));
        draw.clrText = feedQuiet                 ? GetSysColor(COLOR_GRAYTEXT)
                       : direction == kPriceRose ? priceUpColour
                       : direction == kPriceFell ? priceDownColour
                                                 : GetSysColor(COLOR_WINDOWTEXT);
        draw.clrTextBk = kCellBackground;
        // The bar is a display, never a choice: no selection colours over the prices.
        draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        SelectObject(draw.nmcd.hdc, priceFont);
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

MsgResult CDlgQuote::OnListItemChanging(MsgWParam, MsgLParam lParam) {
    const auto& change = NotifyAs<NMLISTVIEW>(lParam);
    const bool selects =
        (change.uChanged & LVIF_STATE) && (change.uNewState & (LVIS_SELECTED | LVIS_FOCUSED));
    return selects ? TRUE : FALSE; // TRUE refuses the change
}

MsgResult CDlgQuote::OnListClick(MsgWParam, MsgLParam) {
    ToggleTerminal();
    return 0;
}

std::string CDlgQuote::CellText(const std::string& symbol) const {
    ListView list(quoteList.Handle());
    for (int column = FirstPriceColumn(); column < list.ColumnCount(); ++column)
        if (list.ColumnTitle(column) == symbol)
            return list.ItemText(0, column);
    return {};
}

MsgResult CDlgQuote::OnListRightClick(MsgWParam, MsgLParam lParam) {
    const auto& click = NotifyAs<NMITEMACTIVATE>(lParam);
    const int column = quoteList.ColumnAt(click.ptAction);
    const std::string symbol =
        column >= FirstPriceColumn() ? quoteList.ColumnTitle(column) : std::string();
    Config().Set(barkey::kOrderSymbol, symbol);
    Config().Set(barkey::kOrderFrom, barkey::kOrderFromBar);
    ShowProgramMenu(kMenuCallerList);
    return 0;
}

MsgResult CDlgQuote::OnColumnClick(MsgWParam, MsgLParam lParam) {
    const auto& click = NotifyAs<NMLISTVIEW>(lParam);
    if (click.iSubItem >= FirstPriceColumn())
        OpenFloatWindow(quoteList.ColumnTitle(click.iSubItem));
    return 0;
}

MsgResult CDlgQuote::OnNewOrder(MsgWParam, MsgLParam) {
    const std::string symbol = Config().Get(barkey::kOrderSymbol);
    if (symbol.empty()) {
        ShowMessageBox(kCurrencyEmptyText, GetMessage(kMsgProgramTitle));
        return 0;
    }
    if (Config().Get(barkey::kOrderFrom) == barkey::kOrderFromFloat)
        ShowMessageBox(GetText(kTextOrderHint), GetMessage(kMsgProgramTitle));
    MTHandler().OpenOrderWindow(symbol);
    return 0;
}
