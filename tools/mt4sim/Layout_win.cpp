#include "platform/Text.h"
#include "tools/mt4sim/SimProtocol.h"
#include "tools/mt4sim/SimWindows_win.h"

#include <commctrl.h>

namespace {

// Class names of the real terminal's docking windows: MFC 4.2 in older builds, the
// Unicode MFC 9 in newer ones.
constexpr const wchar_t* kBar42 = L"AfxControlBar42";
constexpr const wchar_t* kPane42 = L"Afx:400000:b:10003:0:0";
constexpr const wchar_t* kBar90 = L"AfxControlBar90su";
constexpr const wchar_t* kPane90 = L"Afx:00400000:b:00010003:00000000:00000000";
constexpr const wchar_t* kPlainWnd = L"AfxWnd42";

constexpr int kLeftColumnWidth = 290;
constexpr int kTerminalPaneHeight = 140;
constexpr int kMarketSharePercent = 62;
constexpr int kCaptionPadding = 6;
constexpr int kStatusPartWidth = 180;

// The first status field is the status bar's window text. It holds a ':' on purpose: where the
// status bar comes first, a search for the first ':' title must stop on it and find no list.
constexpr const char* kStatusText = "Connected: 1240/3 kb";
// The connection part comes last, at the right end, as in the real terminal.
constexpr int kConnectionPart = 3;

// One layout per Market Watch search of the reader. The windows are created in the
// order the search walks them; their places on screen are set apart from that.
struct LayoutStyle {
    const char* clockPrefix;
    const char* navigator;
    const char* terminal;
    const wchar_t* barClass;
    const wchar_t* paneClass;
    const wchar_t* marketClass; // outer and inner Market Watch window
    bool statusFirst;           // status bar before the Market Watch in the walk
    bool navigatorInMarketBar;  // one control bar titled "Navigator" holds both panes
};

// 1 and 2: the English and the Chinese title are searched for by name. 3: a Russian
// terminal, found only as the first ':' title in an MFC 4.2 control bar. 4: a German one
// whose docked "Navigator" bar holds the Market Watch. 5: a Market Watch titled with the
// bare clock; the status bar walked first and a Navigator without a list make the searches
// before it fail.
const LayoutStyle kStyles[] = {
    {"Market Watch: ", "Navigator", "Terminal", kBar42, kPane42, nullptr, false, false},
    {"市场报价: ", "导航器", "终端", kBar42, kPane42, nullptr, false, false},
    {"Обзор рынка: ", "Навигатор", "Терминал", kBar42, kPane42, nullptr, false, false},
    {"Marktübersicht: ", "Navigator", "Terminal", kBar90, kPane90, nullptr, true, true},
    {"", "Navigator", "Terminal", kBar42, kPane42, kPlainWnd, true, false},
};

HFONT paneFont = nullptr;

// A captioned window draws its title in a strip at its top, as docked bars do.
enum PaneKind : LONG_PTR { kPlain = 0, kCaptioned = 1 };

int CaptionHeight(HWND pane) {
    if (GetWindowLongPtrW(pane, GWLP_USERDATA) != kCaptioned)
        return 0;
    HDC dc = GetDC(pane);
    HGDIOBJ old = SelectObject(dc, paneFont ? paneFont : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(pane, dc);
    return metrics.tmHeight + kCaptionPadding;
}

void PaintCaption(HWND pane, HDC dc) {
    RECT client{};
    GetClientRect(pane, &client);
    RECT caption = client;
    caption.bottom = CaptionHeight(pane);
    FillRect(dc, &caption, GetSysColorBrush(COLOR_INACTIVECAPTION));
    wchar_t text[256] = {};
    GetWindowTextW(pane, text, 256);
    HGDIOBJ old = SelectObject(dc, paneFont ? paneFont : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INACTIVECAPTIONTEXT));
    caption.left += kCaptionPadding;
    DrawTextW(dc, text, -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(pane, message, wParam, lParam);
        InvalidateRect(pane, nullptr, FALSE);
        return result;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(pane, &paint);
        if (GetWindowLongPtrW(pane, GWLP_USERDATA) == kCaptioned)
            PaintCaption(pane, dc);
        EndPaint(pane, &paint);
        return 0;
    }
    case WM_NOTIFY:
    case WM_COMMAND:
        // Controls report to the terminal window, wherever they sit in the tree.
        return SendMessageW(GetAncestor(pane, GA_ROOT), message, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcW(pane, message, wParam, lParam);
}

HWND CreatePane(HWND parent, const wchar_t* className, const std::string& title, PaneKind kind) {
    return CreateWindowExW(0, className, Widen(title).c_str(),
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                           parent, nullptr, GetModuleHandleW(nullptr),
                           reinterpret_cast<void*>(kind));
}

HWND CreateStatusBar(HWND terminal) {
    HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                  terminal, nullptr, GetModuleHandleW(nullptr), nullptr);
    int edges[] = {kStatusPartWidth, 2 * kStatusPartWidth, 3 * kStatusPartWidth, -1};
    SendMessageW(status, SB_SETPARTS, kConnectionPart + 1, reinterpret_cast<LPARAM>(edges));
    SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Widen(kStatusText).c_str()));
    SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"Default"));
    SendMessageW(status, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"For Help, press F1"));
    SendMessageW(status, SB_SETTEXTW, kConnectionPart,
                 reinterpret_cast<LPARAM>(Widen(kSimDefaultConnectionText).c_str()));
    return status;
}

void AddTreeItem(HWND tree, HTREEITEM parent, const wchar_t* text) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
}

HWND CreateNavigatorTree(HWND pane, HFONT font) {
    HWND tree = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_LINESATROOT, 0, 0, 0, 0,
                                pane, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tree, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const wchar_t* text : {L"Accounts", L"Indicators", L"Expert Advisors", L"Scripts"})
        AddTreeItem(tree, TVI_ROOT, text);
    return tree;
}

// The trade list: a second report list view, outside every Market Watch window, so a
// search that strays from its subtree reads the wrong table.
HWND CreateTradeList(HWND pane, HFONT font) {
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, 0, 0, 0, 0,
                                pane, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const wchar_t* headers[] = {L"Order", L"Time", L"Type", L"Size", L"Symbol", L"Price"};
    const wchar_t* cells[] = {L"8812734", L"2024.01.15 09:30", L"buy",
                              L"0.10",    L"eurusd",           L"1.08200"};
    for (int i = 0; i < 6; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = i == 1 ? 120 : 80;
        column.pszText = const_cast<wchar_t*>(headers[i]);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<wchar_t*>(cells[0]);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int i = 1; i < 6; ++i) {
        item.iSubItem = i;
        item.pszText = const_cast<wchar_t*>(cells[i]);
        SendMessageW(list, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    }
    return list;
}

void Place(HWND window, int x, int y, int width, int height) {
    if (window)
        MoveWindow(window, x, y, width > 0 ? width : 0, height > 0 ? height : 0, TRUE);
}

// A pane and the one control it holds, below the pane's caption if it has one.
void PlacePane(HWND pane, int x, int y, int width, int height) {
    Place(pane, x, y, width, height);
    const int caption = CaptionHeight(pane);
    Place(GetWindow(pane, GW_CHILD), 0, caption, width, height - caption);
}

// A captioned bar holding one pane.
void PlaceBar(HWND bar, HWND pane, int x, int y, int width, int height) {
    Place(bar, x, y, width, height);
    const int caption = CaptionHeight(bar);
    PlacePane(pane, 0, caption, width, height - caption);
}

} // namespace

bool RegisterPaneClasses(HINSTANCE instance) {
    for (const wchar_t* name : {kBar42, kPane42, kBar90, kPane90, kPlainWnd}) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = PaneProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = name;
        if (!RegisterClassExW(&windowClass))
            return false;
    }
    return true;
}

SimLayout BuildLayout(HWND terminal, int layoutNumber, HFONT font) {
    const int styleCount = static_cast<int>(sizeof(kStyles) / sizeof(kStyles[0]));
    const LayoutStyle& style =
        kStyles[layoutNumber >= 1 && layoutNumber <= styleCount ? layoutNumber - 1 : 0];
    paneFont = font;
    SimLayout layout;
    layout.clockPrefix = style.clockPrefix;
    if (style.statusFirst)
        layout.statusBar = CreateStatusBar(terminal);

    const wchar_t* outerClass = style.marketClass ? style.marketClass : style.barClass;
    const wchar_t* innerClass = style.marketClass ? style.marketClass : style.paneClass;
    if (style.navigatorInMarketBar) {
        // Walk order: the bar titled "Navigator", its Navigator pane, then the Market Watch.
        // The bar only holds the two; each pane shows its own caption.
        layout.marketBar = CreatePane(terminal, outerClass, style.navigator, kPlain);
        layout.navigatorBar = layout.marketBar;
        layout.navigatorPane =
            CreatePane(layout.marketBar, innerClass, style.navigator, kCaptioned);
        CreateNavigatorTree(layout.navigatorPane, font);
        layout.marketPane = CreatePane(layout.marketBar, innerClass, "", kCaptioned);
        layout.clockWindows = {layout.marketPane};
    } else {
        layout.marketBar = CreatePane(terminal, outerClass, "", kCaptioned);
        layout.marketPane = CreatePane(layout.marketBar, innerClass, "", kPlain);
        layout.clockWindows = {layout.marketBar, layout.marketPane};
        layout.navigatorBar = CreatePane(terminal, style.barClass, style.navigator, kCaptioned);
        layout.navigatorPane =
            CreatePane(layout.navigatorBar, style.paneClass, style.navigator, kPlain);
        CreateNavigatorTree(layout.navigatorPane, font);
    }
    layout.quoteList = CreateQuoteList(layout.marketPane, font);

    layout.terminalBar = CreatePane(terminal, style.barClass, style.terminal, kCaptioned);
    layout.terminalPane = CreatePane(layout.terminalBar, style.paneClass, style.terminal, kPlain);
    CreateTradeList(layout.terminalPane, font);
    if (!style.statusFirst)
        layout.statusBar = CreateStatusBar(terminal);
    return layout;
}

void ArrangeLayout(const SimLayout& layout, int width, int height) {
    SendMessageW(layout.statusBar, WM_SIZE, 0, 0);
    RECT status{};
    GetWindowRect(layout.statusBar, &status);
    const int top = height - (status.bottom - status.top) - kTerminalPaneHeight;
    PlaceBar(layout.terminalBar, layout.terminalPane, 0, top, width, kTerminalPaneHeight);
    Place(layout.chart, kLeftColumnWidth, 0, width - kLeftColumnWidth, top);

    const int marketHeight = top * kMarketSharePercent / 100;
    if (layout.navigatorBar == layout.marketBar) {
        Place(layout.marketBar, 0, 0, kLeftColumnWidth, top);
        PlacePane(layout.marketPane, 0, 0, kLeftColumnWidth, marketHeight);
        PlacePane(layout.navigatorPane, 0, marketHeight, kLeftColumnWidth, top - marketHeight);
    } else {
        PlaceBar(layout.marketBar, layout.marketPane, 0, 0, kLeftColumnWidth, marketHeight);
        PlaceBar(layout.navigatorBar, layout.navigatorPane, 0, marketHeight, kLeftColumnWidth,
                 top - marketHeight);
    }
}

void ShowClock(const SimLayout& layout, const std::string& time) {
    const std::wstring title = Widen(layout.clockPrefix + time);
    for (HWND window : layout.clockWindows)
        SetWindowTextW(window, title.c_str());
}

void ShowConnection(const SimLayout& layout, const std::string& text) {
    SendMessageW(layout.statusBar, SB_SETTEXTW, kConnectionPart,
                 reinterpret_cast<LPARAM>(Widen(text).c_str()));
}
