#include "feed/DlgHistory.h"
#include "controls/UrlOpener.h"
#include "feed/HistoryView.h"
#include "platform/AlertControls.h"
#include "platform/Dpi_win.h"
#include "platform/FileSystem.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/SystemFolders.h"
#include "settings/TextIds.h"
#include <algorithm>
#include "settings/LangTable.h"

namespace {
constexpr DWORD kListStyles = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP;
constexpr int kDetailsColumn = 4;
// Column widths in pixels at 96 dpi; the details take the rest of the list's width.
constexpr int kTimeWidth = 128, kPairWidth = 72, kEventWidth = 84, kPriceWidth = 72;
constexpr int kSmallestDetailsWidth = 120;
constexpr COLORREF kFailedColour = RGB(192, 0, 0);
constexpr int kShellSuccess = 32; // ShellExecute's results above this mean success

CDlgHistory*& TheWindow() {
    static CDlgHistory* window = nullptr;
    return window;
}
} // namespace

const MessageMap<CDlgHistory> CDlgHistory::messages = {
    onMessage(WM_INITDIALOG, &CDlgHistory::OnInitDialog, "OnInitDialog"),
    onMessage(WM_SIZE, &CDlgHistory::OnSize, "OnSize"),
    onMessage(WM_GETMINMAXINFO, &CDlgHistory::OnMinMaxInfo, "OnGetMinMaxInfo"),
    onCommand(IDC_HISTORY_FILTER, CBN_SELCHANGE, &CDlgHistory::OnFilterChanged,
              "OnSelchangeFilter"),
    onNotify(IDC_HISTORY_LIST, NM_CUSTOMDRAW, &CDlgHistory::OnListCustomDraw, "OnCustomDraw"),
    onCommand(IDC_HISTORY_OPEN, BN_CLICKED, &CDlgHistory::OnOpen, "OnOpen"),
    onCommand(IDC_HISTORY_CLEAR, BN_CLICKED, &CDlgHistory::OnClear, "OnClear"),
    onCommand(IDC_HISTORY_CLOSE, BN_CLICKED, &CDlgHistory::OnClose, "OnClose"),
    onCommand(IDCANCEL, &CDlgHistory::OnClose, "OnCancel"),
};

CDlgHistory::CDlgHistory() : DialogOf(IDD_HISTORY), path(HistoryPath(AppConfig().programFolder)) {
    TheWindow() = this;
}

CDlgHistory::~CDlgHistory() {
    if (TheWindow() == this)
        TheWindow() = nullptr;
}

CDlgHistory* CDlgHistory::Instance() {
    return TheWindow();
}

void CDlgHistory::OnFinalMessage() {
    delete this;
}

MsgResult CDlgHistory::OnInitDialog(MsgWParam, MsgLParam) {
    list.Attach(Item(IDC_HISTORY_LIST));
    SetTexts();
    const bool chinese = AppConfig().languageIndex == kLangChinese;
    ApplyFontToChildren(Handle(), Own(CreateDialogFont(chinese, chinese ? 12 : 13)));
    SetUpColumns();
    RememberLayout();
    Reload();
    SetFocus(list.Handle()); // the rows, not the filter, take the keys at first
    return FALSE;
}

void CDlgHistory::SetTexts() {
    SetControlText(Handle(), GetText(kTextAlertHistory));
    const std::pair<int, std::string> texts[] = {
        {IDC_HISTORY_FILTER_LABEL, GetText(kTextHistoryFilter) + ":"},
        {IDC_HISTORY_OPEN, GetText(kTextOpenAsSpreadsheet)},
        {IDC_HISTORY_CLEAR, GetText(kTextClearHistory)},
        {IDC_HISTORY_CLOSE, GetText(kTextClose)},
    };
    for (const auto& [id, text] : texts)
        SetControlText(Item(id), text);
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void CDlgHistory::SetUpColumns() {
    list.SetExtendedStyle(kListStyles);
    const std::pair<int, int> columns[] = {{kTextHistoryTime, kTimeWidth},
                                           {kTextHistoryPair, kPairWidth},
                                           {kTextHistoryEvent, kEventWidth},
                                           {kTextHistoryPrice, kPriceWidth}};
    int used = 0;
    for (int column = 0; column < kDetailsColumn; ++column) {
        list.InsertColumn(column, GetText(columns[column].first),
                          ScaleForDpi(columns[column].second), LVCFMT_LEFT);
        used += ScaleForDpi(columns[column].second);
    }
    RECT client{};
    GetClientRect(list.Handle(), &client);
    const int details = client.right - used - GetSystemMetrics(SM_CXVSCROLL);
    list.InsertColumn(kDetailsColumn, GetText(kTextHistoryDetails),
                      std::max(details, ScaleForDpi(kSmallestDetailsWidth)), LVCFMT_LEFT);
}

// The list takes what the window gains; the buttons keep their distance from the bottom.
void CDlgHistory::RememberLayout() {
    RECT client{}, window{};
    GetClientRect(Handle(), &client);
    GetWindowRect(Handle(), &window);
    madeClient = {client.right, client.bottom};
    smallest = {window.right - window.left, window.bottom - window.top};
    const std::pair<int, Follow> follows[] = {
        {IDC_HISTORY_FILTER_LABEL, Follow::None}, {IDC_HISTORY_FILTER, Follow::None},
        {IDC_HISTORY_LIST, Follow::Both},         {IDC_HISTORY_OPEN, Follow::Bottom},
        {IDC_HISTORY_CLEAR, Follow::BottomRight}, {IDC_HISTORY_CLOSE, Follow::BottomRight},
    };
    for (const auto& [id, follow] : follows)
        anchors.push_back({id, follow, PlaceInParent(Item(id))});
}

MsgResult CDlgHistory::OnSize(MsgWParam, MsgLParam lParam) {
    const int width = SizeWidth(lParam), height = SizeHeight(lParam);
    if (anchors.empty() || width == 0 || height == 0) // not laid out yet, or minimized
        return 0;
    const int dx = width - madeClient.cx, dy = height - madeClient.cy;
    for (const Anchor& anchor : anchors) {
        RECT place = anchor.place;
        if (anchor.follow == Follow::Both) {
            place.right += dx;
            place.bottom += dy;
        } else if (anchor.follow != Follow::None) {
            OffsetRect(&place, anchor.follow == Follow::BottomRight ? dx : 0, dy);
        }
        MoveWindow(Item(anchor.id), place.left, place.top, place.right - place.left,
                   place.bottom - place.top, FALSE);
    }
    // The details take what the list gains; then everything is drawn once, at its new place.
    ListView_SetColumnWidth(list.Handle(), kDetailsColumn, LVSCW_AUTOSIZE_USEHEADER);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

MsgResult CDlgHistory::OnMinMaxInfo(MsgWParam, MsgLParam lParam) {
    if (smallest.cx > 0) {
        auto& limits = NotifyAs<MINMAXINFO>(lParam);
        limits.ptMinTrackSize = {smallest.cx, smallest.cy};
    }
    return 0;
}

void CDlgHistory::Reload() {
    const std::string chosen = ChosenPair();
    events = ReadNewestHistory(path, kHistoryShownEvents);
    FillFilter(chosen);
    FillList();
    EnableWindow(Item(IDC_HISTORY_OPEN), FileExists(path));
    EnableWindow(Item(IDC_HISTORY_CLEAR), !events.empty());
}

void CDlgHistory::FillFilter(const std::string& chosen) {
    ComboBox filter(Item(IDC_HISTORY_FILTER));
    filter.Clear();
    filter.Add(GetText(kTextHistoryAllPairs));
    for (const std::string& pair : HistoryPairs(events))
        filter.Add(pair);
    if (chosen.empty() || !filter.SelectText(chosen))
        filter.Select(0);
}

std::string CDlgHistory::ChosenPair() const {
    ComboBox filter(Item(IDC_HISTORY_FILTER));
    const int chosen = filter.Selected();
    return chosen > 0 ? filter.ItemText(chosen) : "";
}

void CDlgHistory::FillList() {
    const std::string pair = ChosenPair();
    const auto rows = HistoryRows(events, pair, [](int entry) { return GetText(entry); });
    failedRows.clear();
    SendMessageW(list.Handle(), WM_SETREDRAW, FALSE, 0);
    list.DeleteAllItems();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int item = static_cast<int>(i);
        list.InsertItem(item, rows[i].time);
        list.SetItemText(item, 1, rows[i].pair);
        list.SetItemText(item, 2, rows[i].event);
        list.SetItemText(item, 3, rows[i].price);
        list.SetItemText(item, kDetailsColumn, rows[i].details);
        failedRows.push_back(rows[i].failed);
    }
    SendMessageW(list.Handle(), WM_SETREDRAW, TRUE, 0);
    list.RedrawAll();
}

MsgResult CDlgHistory::OnFilterChanged(MsgWParam, MsgLParam) {
    FillList();
    return 0;
}

// Failed deliveries in red, so that a lost notice stands out.
MsgResult CDlgHistory::OnListCustomDraw(MsgWParam, MsgLParam lParam) {
    auto& draw = NotifyAs<NMLVCUSTOMDRAW>(lParam);
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && draw.nmcd.dwItemSpec < failedRows.size() &&
        failedRows[draw.nmcd.dwItemSpec])
        draw.clrText = kFailedColour;
    return CDRF_DODEFAULT;
}

// A copy: a spreadsheet that locks what it opens must not stop the history being written.
MsgResult CDlgHistory::OnOpen(MsgWParam, MsgLParam) {
    const auto copy = HistoryCopyForSpreadsheet(path, GetTempFolder());
    if (!copy || OpenUrl(*copy) <= kShellSuccess)
        MessageBeep(MB_ICONWARNING); // no program opens it
    return 0;
}

MsgResult CDlgHistory::OnClear(MsgWParam, MsgLParam) {
    if (MessageBoxW(Handle(), Widen(GetText(kTextAskClearHistory)).c_str(),
                    Widen(GetMessage(kMsgProgramTitle)).c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    if (!ClearHistory(path))
        MessageBeep(MB_ICONWARNING); // held open elsewhere: what stays is shown again
    Reload();
    return 0;
}

MsgResult CDlgHistory::OnClose(MsgWParam, MsgLParam) {
    End(IDCANCEL);
    return 0;
}

void OpenHistoryWindow() {
    CDlgHistory* window = CDlgHistory::Instance();
    if (window) {
        window->Reload();
    } else {
        window = new CDlgHistory;
        if (!window->Create(nullptr)) {
            delete window;
            return;
        }
    }
    ShowWindow(window->Handle(), IsIconic(window->Handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window->Handle());
}
