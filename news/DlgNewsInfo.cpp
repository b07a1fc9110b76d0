#include "news/DlgNewsInfo.h"
#include "door/AppMessages.h"
#include "news/NewsKeys.h"
#include "news/NewsTabs.h"
#include "news/PageAddress.h"
#include "news/PageRecords.h"
#include "news/PageText.h"
#include "platform/Clock.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "platform/WebBrowser_win.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/SysPaths.h"
#include "settings/TextIds.h"
#include <optional>
#include "settings/LangTable.h"

namespace {
constexpr UINT kReloadTickMs = 1000;
constexpr int kBrowserMargin = 5;
constexpr int kBrowserInset = 20;
// Pages larger than this are not news pages; they count as failed loads.
constexpr std::size_t kLargestPage = 4u << 20;
// The text view shows the beginning of a very long page.
constexpr std::size_t kShownBytes = 256u << 10;

std::string ServiceHost() {
    std::string host = AppConfig().serviceAddress;
    for (const char* scheme : {"http://", "https://"})
        if (host.rfind(scheme, 0) == 0)
            host.erase(0, std::string(scheme).size());
    return host.substr(0, host.find('/'));
}

// Nothing when the clock gives no valid time.
std::optional<int> LocalMinute() {
    const LocalTime now = CurrentClock().Now();
    if (now.month == 0)
        return std::nullopt;
    return now.minute;
}
} // namespace

const MessageMap<CDlgNewsInfo> CDlgNewsInfo::messages = {
    onMessage(WM_INITDIALOG, &CDlgNewsInfo::OnInitDialog, "CDlgNewsInfo"),
    onMessage(WM_SIZE, &CDlgNewsInfo::OnSize, "OnSize"),
    onMessage(WM_TIMER, &CDlgNewsInfo::OnTimer, "OnTimer"),
    onMessage(kPageLoadedMessage, &CDlgNewsInfo::OnPageLoaded, "OnPageLoaded"),
    onMessage(WM_CTLCOLORSTATIC, &CDlgNewsInfo::OnCtlColor, "OnCtlColor"),
    onMessage(WM_DESTROY, &CDlgNewsInfo::OnDestroy, "OnDestroy"),
};

CDlgNewsInfo::CDlgNewsInfo(NewsTabs& news)
    : DialogOf(IDD_NEWS_PAGE), news(news), pageText(std::make_shared<SharedText>()) {
    downloader = std::make_unique<CDownloader>(
        DownloadMessages{kPageProgressMessage, kPageLoadedMessage}, pageText);
    DownloadLimits limits;
    limits.lengthRequired = false; // most pages come chunked
    limits.errorStatusFails = true;
    limits.maxBytes = kLargestPage;
    downloader->SetLimits(limits);
}

CDlgNewsInfo::~CDlgNewsInfo() = default;

MsgResult CDlgNewsInfo::OnInitDialog(MsgWParam, MsgLParam) {
    StartTimer(kPageReloadTimer, kReloadTickMs);
    computerName = GetMachineName();
    SendMessageW(Item(IDC_NEWS_TEXT), EM_SETLIMITTEXT, 0, 0);
    RECT place{};
    GetWindowRect(Item(IDC_NEWS_BROWSER), &place);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
    // Hidden until it has shown a page: a control without an engine stays an empty box.
    browser =
        WebBrowser::Create(Handle(), IDC_NEWS_BROWSER, place, [this] { OnDocumentComplete(); });
    if (browser)
        browser->Show(false);
    return TRUE;
}

MsgResult CDlgNewsInfo::OnSize(MsgWParam, MsgLParam lParam) {
    const RECT place{kBrowserMargin, kBrowserMargin,
                     kBrowserMargin + SizeWidth(lParam) - kBrowserInset,
                     kBrowserMargin + SizeHeight(lParam) - kBrowserInset};
    if (browser)
        browser->Move(place);
    MoveWindow(Item(IDC_NEWS_TEXT), place.left, place.top, place.right - place.left,
               place.bottom - place.top, TRUE);
    return 0;
}

MsgResult CDlgNewsInfo::OnTimer(MsgWParam wParam, MsgLParam) {
    if (TimerId(wParam) == kPageReloadTimer && reload.Tick(LocalMinute()))
        OpenUrl("", true);
    return 0;
}

void CDlgNewsInfo::LoadCheckInterval(int record) {
    const std::string section = PageSection(record);
    if (const auto seconds = RecordCheckSeconds(Config().Get(section, newskey::kNotify),
                                                Config().Get(section, newskey::kInterval)))
        reload.SetInterval(*seconds);
}

void CDlgNewsInfo::SetCheckInterval(int minutes) {
    reload.SetInterval(CheckSecondsForMinutes(minutes));
}

void CDlgNewsInfo::OpenUrl(const std::string& address, bool refreshing) {
    const std::string given = address.empty() ? currentUrl : address;
    if (given.empty()) {
        ShowName();
        return;
    }
    if (pageIndex >= 0 && refreshing && news.TabsOpen())
        news.SetTabName(pageIndex,
                        RefreshingCaption(Config().Get(PageSection(pageIndex), newskey::kName),
                                          GetText(kTextRefreshing)));
    if (!currentUrl.empty() && currentUrl != given)
        storedText.clear();
    currentUrl = given;
    ++fetchNumber; // a load still running for the old address is no longer the page's
    if (!IsWebPageAddress(given)) {
        ShowText(GetMessage(kMsgNotWebPage));
        ShowName(); // nothing loads that would end the refreshing caption
        return;
    }
    const PageDecoration decoration{AppConfig().versionText, computerName,
                                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                    NowText()};
    const std::string load = DecoratedAddress(FetchAddress(given), ServiceHost(), decoration);
    if (browser)
        browser->Navigate(Widen(load));
    Fetch(load);
}

// The change check reads the page over HTTP, so that it never depends on the browser.
void CDlgNewsInfo::Fetch(const std::string& address) {
    pendingFetch.clear();
    if (!downloader->Start(reinterpret_cast<WindowHandle>(Handle()), address, "", false, false,
                           fetchNumber) &&
        downloader->Status() == kDownloadBusy)
        pendingFetch = address; // started when the running one ends
}

MsgResult CDlgNewsInfo::OnPageLoaded(MsgWParam wParam, MsgLParam lParam) {
    downloader->ClearBusy();
    const bool current = static_cast<unsigned>(wParam) == fetchNumber;
    if (!pendingFetch.empty()) {
        Fetch(pendingFetch);
        return 0;
    }
    if (!current)
        return 0;
    ShowName();
    const int status = DownloadStatus(lParam);
    if (status != kDownloadOk) {
        // A failed reload changes nothing; only a page never shown says why.
        if (!loaded)
            ShowText(WithTitle(GetMessage(kMsgPageNotLoaded), DownloadStatusText(status)));
        return 0;
    }
    loaded = true;
    const std::shared_ptr<const std::string> page = pageText->Get();
    ShowText(ReadableText(*page));
    if (reload.intervalSeconds != 0 && TakePageText(storedText, VisibleText(*page))) {
        news.NotePageChanged(pageIndex);
    }
    return 0;
}

void CDlgNewsInfo::ShowName() {
    if (pageIndex >= 0 && news.TabsOpen())
        news.SetTabName(pageIndex,
                        PageCaption(Config().Get(PageSection(pageIndex), newskey::kName)));
}

void CDlgNewsInfo::ShowText(const std::string& text) {
    SetWindowTextW(Item(IDC_NEWS_TEXT), Widen(CutUtf8(text, kShownBytes)).c_str());
}

// The page's text reads as a page: black on white, though the edit is read-only.
MsgResult CDlgNewsInfo::OnCtlColor(MsgWParam wParam, MsgLParam lParam) {
    if (ColouredControl(lParam) != Item(IDC_NEWS_TEXT)) {
        PassOn();
        return 0;
    }
    HDC dc = DrawingContext(wParam);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return BrushResult(GetSysColorBrush(COLOR_WINDOW));
}

void CDlgNewsInfo::OnDocumentComplete() {
    if (browserRendered || !browser)
        return;
    browserRendered = true;
    browser->Show(true);
    ShowWindow(Item(IDC_NEWS_TEXT), SW_HIDE);
}

MsgResult CDlgNewsInfo::OnDestroy(MsgWParam, MsgLParam) {
    StopTimer(kPageReloadTimer);
    browser.reset();
    return 0;
}
