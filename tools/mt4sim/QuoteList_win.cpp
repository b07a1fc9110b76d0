#include "platform/Text.h"
#include "tools/mt4sim/SimWindows_win.h"

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr int kSymbolColumnWidth = 100;
constexpr int kPriceColumnWidth = 76;
constexpr const wchar_t* kOldProcProperty = L"MT4SimQuoteListProc";
constexpr const wchar_t* kRowCountRequestsProperty = L"MT4SimRowCountRequests";

void SetCell(HWND list, int row, int column, const std::string& text) {
    const std::wstring wide = Widen(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(wide.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void InsertRow(HWND list, int row, const SimQuote& quote) {
    const std::wstring symbol = Widen(quote.symbol);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(symbol.c_str());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetCell(list, row, 1, quote.bidText);
    SetCell(list, row, 2, quote.askText);
}

int RowCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool SameSymbols(const std::vector<SimQuote>& a, const std::vector<SimQuote>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].symbol != b[i].symbol)
            return false;
    }
    return true;
}

// Up, Down and Enter are handled here rather than by the control: the reader sends them
// from another process without giving the list the focus, and it checks the selection
// mark after every key.
LRESULT CALLBACK QuoteListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto oldProc = reinterpret_cast<WNDPROC>(GetPropW(list, kOldProcProperty));
    if (message == LVM_GETITEMCOUNT && InSendMessage()) {
        const auto count = reinterpret_cast<ULONG_PTR>(GetPropW(list, kRowCountRequestsProperty));
        SetPropW(list, kRowCountRequestsProperty, reinterpret_cast<HANDLE>(count + 1));
    }
    if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        const int count = RowCount(list);
        const int mark = SelectedQuoteRow(list);
        int row = wParam == VK_DOWN ? mark + 1 : mark - 1;
        if (mark < 0)
            row = 0;
        if (count > 0)
            SelectQuoteRow(list, row < 0 ? 0 : (row >= count ? count - 1 : row));
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        PostMessageW(GetAncestor(list, GA_ROOT), kSimOpenOrderMessage,
                     static_cast<WPARAM>(SelectedQuoteRow(list)), 0);
        return 0;
    }
    if (message == WM_GETDLGCODE)
        return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
    if (message == WM_NCDESTROY) {
        RemovePropW(list, kOldProcProperty);
        RemovePropW(list, kRowCountRequestsProperty);
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
    }
    return CallWindowProcW(oldProc, list, message, wParam, lParam);
}

} // namespace

HWND CreateQuoteList(HWND parent, HFONT font) {
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                    LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                                0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!list)
        return nullptr;
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const wchar_t* headers[] = {L"Symbol", L"Bid", L"Ask"};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = i == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        column.cx = i == 0 ? kSymbolColumnWidth : kPriceColumnWidth;
        column.pszText = const_cast<wchar_t*>(headers[i]);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SetPropW(list, kOldProcProperty,
             reinterpret_cast<HANDLE>(GetWindowLongPtrW(list, GWLP_WNDPROC)));
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(QuoteListProc));
    return list;
}

void SyncQuoteList(HWND list, const std::vector<SimQuote>& quotes, std::vector<SimQuote>& shown) {
    if (SameSymbols(quotes, shown)) {
        for (std::size_t i = 0; i < quotes.size(); ++i) {
            const int row = static_cast<int>(i);
            if (quotes[i].bidText != shown[i].bidText)
                SetCell(list, row, 1, quotes[i].bidText);
            if (quotes[i].askText != shown[i].askText)
                SetCell(list, row, 2, quotes[i].askText);
        }
        shown = quotes;
        return;
    }
    const int oldRow = SelectedQuoteRow(list);
    std::string selected;
    if (oldRow >= 0 && oldRow < static_cast<int>(shown.size()))
        selected = shown[static_cast<std::size_t>(oldRow)].symbol;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    int newRow = -1;
    for (std::size_t i = 0; i < quotes.size(); ++i) {
        InsertRow(list, static_cast<int>(i), quotes[i]);
        if (quotes[i].symbol == selected)
            newRow = static_cast<int>(i);
    }
    // A removed symbol leaves the selection on the row that took its place.
    if (newRow < 0 && !quotes.empty())
        newRow = oldRow < 0 ? 0 : std::min<int>(oldRow, static_cast<int>(quotes.size()) - 1);
    if (newRow >= 0)
        SelectQuoteRow(list, newRow);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    shown = quotes;
}

void SelectQuoteRow(HWND list, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

long QuoteListRowCountRequests(HWND list) {
    return static_cast<long>(reinterpret_cast<ULONG_PTR>(GetPropW(list, kRowCountRequestsProperty)));
}

int SelectedQuoteRow(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
}
