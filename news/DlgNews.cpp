#include "news/DlgNews.h"
#include "news/DlgNewsAdd.h"
#include "news/DlgNewsInfo.h"
#include "news/NewsGeometry.h"
#include "news/NewsKeys.h"
#include "news/PageRecords.h"
#include "platform/MessageBox.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include <algorithm>
#include <commctrl.h>
#include "settings/LangTable.h"

namespace {
constexpr UINT kPropertiesMs = 100;
constexpr int kCaptionCharacters = 255;
const wchar_t* const kPropertiesTitles[] = {L"Properties", L"属性"};

CDlgNews*& TheWindow() {
    static CDlgNews* window = nullptr;
    return window;
}

RECT ToRect(const NewsRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void MoveTo(HWND control, const NewsRect& rect) {
    MoveWindow(control, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

SIZE WindowSize(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

std::string RecordName(int index) {
    return Config().Get(PageSection(index), newskey::kName);
}

// Property sheets opened from a page's context menu; only ours, never another program's.
BOOL CALLBACK CloseIfOwnProperties(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        return TRUE;
    wchar_t title[32] = {};
    GetWindowTextW(window, title, 32);
    for (const wchar_t* properties : kPropertiesTitles)
        if (wcscmp(title, properties) == 0)
            PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}
} // namespace

const MessageMap<CDlgNews> CDlgNews::messages = {
    onMessage(WM_INITDIALOG, &CDlgNews::OnInitDialog, "CDlgNews"),
    onMessage(WM_SIZE, &CDlgNews::OnSize, "OnSize"),
    onMessage(WM_MOVE, &CDlgNews::OnMove, "OnMove"),
    onMessage(WM_TIMER, &CDlgNews::OnTimer, "OnTimer"),
    onMessage(WM_CLOSE, &CDlgNews::OnClose, "OnClose"),
    onNotify(IDC_NEWS_TAB, TCN_SELCHANGING, &CDlgNews::OnTabChanging, "OnSelchangingTab"),
    onNotify(IDC_NEWS_TAB, TCN_SELCHANGE, &CDlgNews::OnTabChange, "OnSelchangeTab"),
    onNotify(IDC_NEWS_TAB, NM_CLICK, &CDlgNews::OnTabClick, "OnClickTab"),
    onCommand(IDC_NEWS_ADD, BN_CLICKED, &CDlgNews::OnAdd, "OnAdd"),
    onCommand(IDC_NEWS_EDIT, BN_CLICKED, &CDlgNews::OnEdit, "OnEdit"),
    onCommand(IDC_NEWS_REFRESH, BN_CLICKED, &CDlgNews::OnRefresh, "OnRefresh"),
    onCommand(IDC_NEWS_REMOVE, BN_CLICKED, &CDlgNews::OnRemove, "OnRemove"),
    onCommand(IDC_NEWS_EXIT, BN_CLICKED, &CDlgNews::OnExit, "OnExit"),
    onCommand(IDCANCEL, BN_CLICKED, &CDlgNews::OnExit, "OnCancel"),
};

CDlgNews::CDlgNews() : DialogOf(IDD_NEWS) {
    TheWindow() = this;
}

CDlgNews::~CDlgNews() {
    if (TheWindow() == this)
        TheWindow() = nullptr;
}

CDlgNews* CDlgNews::Instance() {
    return TheWindow();
}

// Made with new by the price bar and kept for the run; it goes with its window.
void CDlgNews::OnFinalMessage() {
    delete this;
}

MsgResult CDlgNews::OnInitDialog(MsgWParam, MsgLParam) {
    tabs = Item(IDC_NEWS_TAB);
    RECT client{};
    GetClientRect(Handle(), &client);
    LayOut(client.right, client.bottom);
    LoadPages();
    RestoreGeometry();
    SetTexts();
    if (currentPage < 0)
        currentPage = static_cast<int>(
            LeadingInteger<int>(Config().Get(newskey::kPagesSection, newskey::kLastPage)));
    ShowPage(currentPage);
    EnableRemove();
    ready = true;
    StartTimer(kNewsPropertiesTimer, kPropertiesMs);
    return TRUE;
}

void CDlgNews::SetTexts() {
    SetWindowTextW(Handle(), Widen(GetText(kTextNews)).c_str());
    const std::pair<int, int> texts[] = {{IDC_NEWS_REMOVE, kTextRemovePage},
                                         {IDC_NEWS_ADD, kTextNewsAdd},
                                         {IDC_NEWS_EDIT, kTextNewsEdit},
                                         {IDC_NEWS_EXIT, kTextClose},
                                         {IDC_NEWS_REFRESH, kTextRefresh}};
    for (const auto& [control, text] : texts)
        SetWindowTextW(Item(control), Widen(GetText(text)).c_str());
}

void CDlgNews::LoadPages() {
    // Tabs and records go by the same number: Add and Edit find the record of their tab.
    const int count = DropEmptyPageRecords(Config());
    for (int index = 0; index < count; ++index) {
        const PageRecord record = ReadPageRecord(Config(), index);
        CreatePage(PageCaption(record.name), record.url, record.notify, 0, false);
    }
}

void CDlgNews::CreatePage(const std::string& name, const std::string& url,
                          const std::string& notify, int intervalMinutes, bool store) {
    const int index = TabCtrl_GetItemCount(tabs);
    std::wstring caption = Widen(RefreshingCaption(name, GetText(kTextRefreshing)));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    TabCtrl_InsertItem(tabs, index, &item);

    auto view = std::make_unique<CDlgNewsInfo>(*this);
    if (!view->Create(tabs)) {
        TabCtrl_DeleteItem(tabs, index);
        return;
    }
    CDlgNewsInfo& page = *view;
    views.push_back(std::move(view));
    FitPageViews();
    // Before anything looks the page up: a section left behind by a removal may still name
    // another page's view.
    Config().Set(PageSection(index), newskey::kWindowHandle,
                 std::to_string(reinterpret_cast<UINT_PTR>(page.Handle())));
    page.pageIndex = index;
    page.OpenUrl(url, false);
    ShowWindow(page.Handle(), SW_SHOW);
    if (store) {
        WritePageRecord(Config(), index, {name, url, notify, ""}, intervalMinutes);
        Config().SetInt(newskey::kPagesSection, newskey::kPageCount, index + 1);
        ShowPage(index);
    }
    page.LoadCheckInterval(index);
    EnableRemove();
}

int CDlgNews::PageCount() const {
    return static_cast<int>(views.size());
}

// Through the record's "HWD", as the pages are addressed by the settings; a value that names
// no view of ours (stale, or another program's window) finds nothing.
CDlgNewsInfo* CDlgNews::PageView(int index) const {
    const auto handle =
        ParseInteger<long long>(Config().Get(PageSection(index), newskey::kWindowHandle));
    if (!handle)
        return nullptr;
    for (const auto& view : views)
        if (reinterpret_cast<UINT_PTR>(view->Handle()) == static_cast<UINT_PTR>(*handle))
            return view.get();
    return nullptr;
}

void CDlgNews::ShowPage(int index) {
    updatedPage = -1;
    const int count = PageCount();
    index = std::clamp(index, 0, std::max(count - 1, 0));
    TabCtrl_SetCurSel(tabs, index);
    for (int other = 0; other < count; ++other)
        if (CDlgNewsInfo* view = PageView(other); view && other != index)
            ShowWindow(view->Handle(), SW_HIDE);
    if (CDlgNewsInfo* view = PageView(index))
        ShowWindow(view->Handle(), SW_SHOW);
    Config().SetInt(newskey::kPagesSection, newskey::kLastPage, index);
    currentPage = index;
}

// A tab still showing "(Refreshing...)" gets its name back.
void CDlgNews::RestoreTabCaption(int index) {
    if (index < 0 || index >= PageCount())
        return;
    wchar_t caption[kCaptionCharacters + 1] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = kCaptionCharacters;
    TabCtrl_GetItem(tabs, index, &item);
    const std::string name = PageCaption(RecordName(index));
    if (Narrow(caption) != name)
        SetTabName(index, name);
}

MsgResult CDlgNews::OnTabChanging(MsgWParam, MsgLParam) {
    RestoreTabCaption(TabCtrl_GetCurSel(tabs));
    return FALSE;
}

MsgResult CDlgNews::OnTabChange(MsgWParam, MsgLParam) {
    const int index = TabCtrl_GetCurSel(tabs);
    RestoreTabCaption(index);
    ShowPage(index);
    return 0;
}

MsgResult CDlgNews::OnTabClick(MsgWParam, MsgLParam) {
    if (PageCount() == 1)
        RestoreTabCaption(0);
    return 0;
}

MsgResult CDlgNews::OnAdd(MsgWParam, MsgLParam) {
    CDlgNewsAdd add(Handle(), *this, -1);
    add.DoModal(Handle());
    return 0;
}

MsgResult CDlgNews::OnEdit(MsgWParam, MsgLParam) {
    const int index = TabCtrl_GetCurSel(tabs);
    if (index < 0)
        return 0;
    CDlgNewsAdd edit(Handle(), *this, index);
    edit.DoModal(Handle());
    return 0;
}

MsgResult CDlgNews::OnRefresh(MsgWParam, MsgLParam) {
    if (CDlgNewsInfo* view = currentPage >= 0 ? PageView(currentPage) : nullptr)
        view->OpenUrl("", true);
    return 0;
}

MsgResult CDlgNews::OnRemove(MsgWParam, MsgLParam) {
    const int count = PageCount();
    const int index = TabCtrl_GetCurSel(tabs);
    if (count < 2 || index < 0 || index >= count)
        return 0;
    const std::string question = WithTitle(GetText(kTextAskRemovePage), RecordName(index));
    if (!AskOkCancel(question, GetMessage(kMsgProgramTitle)))
        return 0;
    TabCtrl_DeleteItem(tabs, index);
    views.erase(views.begin() + index);
    RemovePageRecord(Config(), index, count); // records go by tab index
    for (int later = index; later < PageCount(); ++later)
        views[static_cast<std::size_t>(later)]->pageIndex = later;
    ShowPage(std::max(index - 1, 0));
    Config().SetInt(newskey::kPagesSection, newskey::kPageCount, PageCount());
    EnableRemove();
    return 0;
}

void CDlgNews::EnableRemove() {
    EnableWindow(Item(IDC_NEWS_REMOVE), PageCount() >= 2);
}

// Closing only hides: the pages go on being watched.
MsgResult CDlgNews::OnExit(MsgWParam, MsgLParam) {
    ReloadUnwatchedPages();
    ShowWindow(Handle(), SW_HIDE);
    return 0;
}

MsgResult CDlgNews::OnClose(MsgWParam wParam, MsgLParam lParam) {
    return OnExit(wParam, lParam);
}

// The selected page first, then the others in order.
void CDlgNews::ReloadUnwatchedPages() {
    std::vector<int> order;
    if (currentPage >= 0)
        order.push_back(currentPage);
    for (int index = 0; index < PageCount(); ++index)
        if (index != currentPage)
            order.push_back(index);
    for (int index : order) {
        if (Config().Get(PageSection(index), newskey::kNotify) == kWatchedText)
            continue;
        if (CDlgNewsInfo* view = PageView(index))
            view->OpenUrl("", true);
    }
}

MsgResult CDlgNews::OnTimer(MsgWParam wParam, MsgLParam) {
    if (TimerId(wParam) == kNewsPropertiesTimer && IsVisible())
        CloseStrayProperties();
    return 0;
}

void CDlgNews::CloseStrayProperties() {
    EnumWindows(&CloseIfOwnProperties, 0);
}

MsgResult CDlgNews::OnSize(MsgWParam wParam, MsgLParam lParam) {
    if (wParam == SIZE_MINIMIZED)
        return 0;
    if (const auto snapped = SnappedNewsWidth(WindowSize(Handle()).cx)) {
        SetWindowPos(Handle(), nullptr, 0, 0, *snapped, WindowSize(Handle()).cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0; // the resize comes back here with the new width
    }
    LayOut(SizeWidth(lParam), SizeHeight(lParam));
    if (geometryRestored) {
        const SIZE window = WindowSize(Handle());
        Config().SetInt(newskey::kPagesSection, newskey::kWidth, window.cx);
        Config().SetInt(newskey::kPagesSection, newskey::kHeight, window.cy);
    }
    return 0;
}

void CDlgNews::LayOut(int width, int height) {
    if (!tabs)
        return;
    const SIZE exit = WindowSize(Item(IDC_NEWS_EXIT));
    const NewsLayout layout = LayOutNews(width, height, exit.cx, exit.cy, exit.cy);
    MoveTo(tabs, layout.tab);
    MoveTo(Item(IDC_NEWS_EXIT), layout.exit);
    MoveTo(Item(IDC_NEWS_REMOVE), layout.remove);
    MoveTo(Item(IDC_NEWS_ADD), layout.add);
    MoveTo(Item(IDC_NEWS_EDIT), layout.edit);
    MoveTo(Item(IDC_NEWS_REFRESH), layout.refresh);
    FitPageViews();
}

void CDlgNews::FitPageViews() {
    RECT client{};
    GetClientRect(tabs, &client);
    const RECT place = ToRect(PageViewRect({client.left, client.top, client.right, client.bottom}));
    for (const auto& view : views)
        MoveWindow(view->Handle(), place.left, place.top, place.right - place.left,
                   place.bottom - place.top, TRUE);
}

MsgResult CDlgNews::OnMove(MsgWParam, MsgLParam) {
    if (!geometryRestored)
        return 0;
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    Config().SetInt(newskey::kPagesSection, newskey::kX, rect.left);
    Config().SetInt(newskey::kPagesSection, newskey::kY, rect.top);
    return 0;
}

void CDlgNews::RestoreGeometry() {
    auto stored = [](const char* key) { return Config().Get(newskey::kPagesSection, key); };
    const NewsPlacement place = RestoredNewsPlacement(
        stored(newskey::kX), stored(newskey::kY), stored(newskey::kWidth), stored(newskey::kHeight),
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const SIZE now = WindowSize(Handle());
    const bool sized = place.width && place.height;
    SetWindowPos(Handle(), nullptr, place.x, place.y, sized ? *place.width : now.cx,
                 sized ? *place.height : now.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | (sized ? 0 : SWP_NOSIZE));
    geometryRestored = true;
}
