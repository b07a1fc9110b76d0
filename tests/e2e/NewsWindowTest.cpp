// The web page watch seen from outside: the default records, the news window over pages
// the test serves from the local service, the page update popup, and hostile records.
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/TextIds.h"
#include "tests/e2e/AlertWindowsHarness.h"
#include "tests/e2e/HttpProbe.h"
#include <commctrl.h>
#include <wininet.h>
#include "settings/LangTable.h"

using namespace e2e;

namespace {
const Placement kNewsProgram{"Pipwarden_news.exe", "file\\Pipwarden.exe"};
// In the language the program runs in, which the test shares.
std::string NewsTitle() {
    return GetText(kTextNews);
}
std::string NotWebPage() {
    return GetMessageIn(AppConfig().languageIndex, kMsgNotWebPage);
}
constexpr Milliseconds kOneTick = kMainTick + kTickSlack;
// A changed page is only offered at a tick after the window is hidden.
constexpr Milliseconds kNoPopupWait = kMainTick + kOneTick;
constexpr Milliseconds kLoadTimeout = 10s;

// One GET on the local service; its body, or nothing when it did not answer 200.
std::optional<std::string> ServiceGet(const std::string& path) {
    const std::string url = ServiceUrl(path);
    if (url.empty())
        return std::nullopt;
    HINTERNET session =
        InternetOpenW(L"pipwarden e2e", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!session)
        return std::nullopt;
    std::optional<std::string> body;
    HINTERNET request = InternetOpenUrlW(session, Widen(url).c_str(), nullptr, 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    DWORD status = 0;
    DWORD size = sizeof status;
    if (request &&
        HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                       nullptr) &&
        status == HTTP_STATUS_OK) {
        body.emplace();
        char buffer[4096];
        DWORD read = 0;
        while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0)
            body->append(buffer, read);
    }
    if (request)
        InternetCloseHandle(request);
    InternetCloseHandle(session);
    return body;
}

bool SetTestPage(const std::string& name, const std::string& html) {
    return ServiceGet("/testpage/set?name=" + PercentEncode(name) +
                      "&body=" + PercentEncode(html)) == "OK";
}

long TestPageHits(const std::string& name) {
    return std::atol(
        ServiceGet("/testpage/hits?name=" + PercentEncode(name)).value_or("0").c_str());
}

// Page names of their own, since one service serves every test of the run.
std::string UniquePageName(const std::string& tag) {
    static int made = 0;
    return "p" + std::to_string(GetCurrentProcessId()) + "n" + std::to_string(++made) + tag;
}

std::string Page(const std::string& title, const std::string& body) {
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// The page's text with its line breaks and blanks read as single blanks: what it says,
// whichever way the view lays it out.
std::string Flattened(const std::string& text) {
    std::string flat;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\r' || c == '\n' || c == '\t';
        if (!blank)
            flat += c;
        else if (!flat.empty() && flat.back() != ' ')
            flat += ' ';
    }
    if (!flat.empty() && flat.back() == ' ')
        flat.pop_back();
    return flat;
}

std::string PageViewText(HWND view) {
    return Flattened(WindowText(GetDlgItem(view, IDC_NEWS_TEXT)));
}

struct Record {
    std::string name, url, notify, interval, handle;
};

std::string NewsSettings(const std::vector<Record>& records, const std::string& extra = "") {
    std::string text = "[NEWSTAB]\r\nNUM=" + std::to_string(records.size()) + "\r\n" + extra;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& record = records[i];
        text += "[NEWSTAB" + std::to_string(i) + "]\r\nNAME=" + record.name +
                "\r\nURL=" + record.url + "\r\nNOTIFY=" + record.notify +
                "\r\nINTERVAL=" + record.interval + "\r\n";
        if (!record.handle.empty())
            text += "HWD=" + record.handle + "\r\n";
    }
    return text;
}

void ExpectRecord(const std::string& settings, int index, const Record& expected) {
    const std::string section = "NEWSTAB" + std::to_string(index);
    EXPECT_EQ(IniValue(settings, section, "NAME"), expected.name) << section;
    EXPECT_EQ(IniValue(settings, section, "URL"), expected.url) << section;
    EXPECT_EQ(IniValue(settings, section, "NOTIFY"), expected.notify) << section;
    EXPECT_EQ(IniValue(settings, section, "INTERVAL"), expected.interval) << section;
}

// Handles this thread's messages for a while, so a WM_CLOSE posted to our windows acts.
void PumpFor(Milliseconds time) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(time.count())) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

// A top-level window of the test process, from the program's view another program's.
class ForeignWindow {
public:
    explicit ForeignWindow(const wchar_t* title)
        : window(CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED | WS_VISIBLE, 40, 40, 220, 90,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~ForeignWindow() {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    HWND Handle() const { return window; }

private:
    HWND window;
};

class NewsWindowTest : public AlertWindowsTest {
protected:
    void StartNews(const std::string& settings) {
        install.Place(kNewsProgram);
        ASSERT_NO_FATAL_FAILURE(StartProgram("", settings));
    }
    HWND FindShownNews() {
        for (HWND window : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
            if (GetDlgItem(window, IDC_NEWS_TAB))
                return window;
        return nullptr;
    }
    // Through the price bar's command, as the tray menu does.
    HWND OpenNews() {
        PostMessageW(bar, WM_COMMAND, IDM_NEWS, 0);
        HWND news = nullptr;
        WaitUntil([&] { return (news = FindShownNews()) != nullptr; }, 10s);
        return news;
    }
    void CloseNews(HWND news) {
        ASSERT_TRUE(PressButton(news, IDC_NEWS_EXIT));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(news); }, 5s)) << "EXIT left it shown";
    }
    // The page views sit on the tab control.
    static std::vector<HWND> PageViews(HWND news) {
        std::vector<HWND> views;
        HWND tab = GetDlgItem(news, IDC_NEWS_TAB);
        for (HWND child = FindWindowExW(tab, nullptr, nullptr, nullptr); child;
             child = FindWindowExW(tab, child, nullptr, nullptr))
            if (GetDlgItem(child, IDC_NEWS_TEXT))
                views.push_back(child);
        return views;
    }
    static std::string ShownPageText(HWND news) {
        for (HWND view : PageViews(news))
            if (IsWindowVisible(view))
                return PageViewText(view);
        return "<no page shown>";
    }
    static bool WaitForShownText(HWND news, const std::string& text) {
        return WaitUntil([&] { return ShownPageText(news) == text; }, kLoadTimeout);
    }
    HWND FindPopup() {
        for (HWND window : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
            if (GetDlgItem(window, IDC_NEWS_ITEM))
                return window;
        return nullptr;
    }
    HWND WaitForPopup(Milliseconds timeout) {
        HWND popup = nullptr;
        WaitUntil([&] { return (popup = FindPopup()) != nullptr; }, timeout);
        return popup;
    }
    // Found as the program finds it, through the record's "HWD".
    HWND PageViewOf(int record) {
        const std::string handle = Setting("NEWSTAB" + std::to_string(record), "HWD");
        return reinterpret_cast<HWND>(std::strtoul(handle.c_str(), nullptr, 10));
    }
    std::string Setting(const std::string& section, const std::string& key) {
        return IniValue(install.ReadSettings(), section, key).value_or("<missing>");
    }
};
} // namespace

// The shipped program writes the default pages but offers no news window.
TEST_F(NewsWindowTest, DefaultPagesAreWrittenWhileTheSwitchIsOff) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(""));
    ASSERT_TRUE(WaitUntil([&] { return Setting("NEWSTAB", "NUM") == "3"; }, 5s));
    const Record chinese[] = {
        {"财经日历", ServiceUrl("/soft/news.aspx?i=2&t=zh"), "1", "10", ""},
        {"即时市况", ServiceUrl("/soft/news.aspx?i=1&t=zh"), "1", "10", ""},
        {"其它资讯", ServiceUrl("/soft/news.aspx?i=0&t=zh"), "0", "10", ""},
    };
    const Record english[] = {
        {"Forex Calendar", ServiceUrl("/func/news.aspx?i=1"), "1", "10", ""},
        {"Forex News", ServiceUrl("/func/news.aspx?i=2"), "1", "10", ""},
        {"Other", ServiceUrl("/func/news.aspx?i=0"), "0", "10", ""},
    };
    const Record* defaults = AppConfig().languageIndex == kLangChinese ? chinese : english;
    const std::string settings = install.ReadSettings();
    for (int i = 0; i < 3; ++i)
        ExpectRecord(settings, i, defaults[i]);

    PostMessageW(bar, WM_COMMAND, IDM_NEWS, 0);
    EXPECT_EQ(WaitForWindow({"", NewsTitle(), program.Id(), false}, 2s), nullptr)
        << "the news command opened a window with the switch off";
}

// Only a change of the visible text raises the popup; "Click to View" brings the page back;
// removing the first page moves the later records down.
TEST_F(NewsWindowTest, ChangedTextRaisesThePopupAndRemovalRenumbersTheRecords) {
    if (ServiceUrl("/").empty())
        FAIL() << "PIPWARDEN_SERVICE is not set: start the service with scripts/lib/service.sh";
    const std::string a = UniquePageName("a"), b = UniquePageName("b"), c = UniquePageName("c");
    const std::string rates = "<h1>Rates</h1><p>EUR 1.1000</p>";
    ASSERT_TRUE(SetTestPage(a, Page("Alpha", rates)));
    ASSERT_TRUE(SetTestPage(b, Page("Beta", "<p>Bonds</p>")));
    ASSERT_TRUE(SetTestPage(c, Page("Gamma", "<p>Gold</p>")));
    const std::vector<Record> records = {
        {"Alpha 行情", ServiceUrl("/testpage/" + a), "1", "10", ""},
        {"Beta", ServiceUrl("/testpage/" + b), "0", "7", ""},
        {"Gamma", ServiceUrl("/testpage/" + c), "1", "15", ""},
    };
    ASSERT_NO_FATAL_FAILURE(StartNews(NewsSettings(records)));
    HWND news = OpenNews();
    ASSERT_NE(news, nullptr) << "the news window did not open";
    EXPECT_EQ(WindowText(news), NewsTitle());
    EXPECT_EQ(PageViews(news).size(), 3u);
    ASSERT_TRUE(WaitForShownText(news, "Alpha Rates EUR 1.1000")) << ShownPageText(news);

    // Markup only: a token, a script, a style, a comment and other blanks.
    long hits = TestPageHits(a);
    ASSERT_TRUE(SetTestPage(
        a, "<html><head><title>Alpha</title><script>var token='x93';</script>"
           "<style>p{color:red}</style></head><body data-token=\"x93\"><!-- served twice -->"
           "<h1 class=\"big\">Rates</h1>\n  <p>EUR   1.1000</p></body></html>"));
    ASSERT_TRUE(PressButton(news, IDC_NEWS_REFRESH));
    ASSERT_TRUE(WaitUntil([&] { return TestPageHits(a) > hits; }, kLoadTimeout));
    ASSERT_NO_FATAL_FAILURE(CloseNews(news));
    EXPECT_EQ(WaitForPopup(kNoPopupWait), nullptr) << "a change of markup alone raised the popup";

    // A real change, seen while the window is in sight, waits until it is hidden.
    ASSERT_EQ(OpenNews(), news);
    ASSERT_TRUE(SetTestPage(a, Page("Alpha", "<h1>Rates</h1><p>EUR 1.1050</p>")));
    ASSERT_TRUE(PressButton(news, IDC_NEWS_REFRESH));
    ASSERT_TRUE(WaitForShownText(news, "Alpha Rates EUR 1.1050")) << ShownPageText(news);
    ASSERT_NO_FATAL_FAILURE(CloseNews(news));
    HWND popup = WaitForPopup(kNoPopupWait);
    ASSERT_NE(popup, nullptr) << "the changed page raised no popup";
    EXPECT_EQ(WindowText(GetDlgItem(popup, IDC_NEWS_ITEM)), "\"Alpha 行情\"");
    ASSERT_TRUE(PressButton(popup, IDC_NEWS_VIEW));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(popup) && IsWindowVisible(news); }, 5s))
        << "\"Click to View\" did not bring the news window back";
    EXPECT_EQ(SendMessageW(GetDlgItem(news, IDC_NEWS_TAB), TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ShownPageText(news), "Alpha Rates EUR 1.1050");

    // Another program's "Properties" window is none of the news window's business.
    {
        ForeignWindow properties(L"Properties");
        ASSERT_NE(properties.Handle(), nullptr);
        PumpFor(1200ms);
        EXPECT_TRUE(IsWindow(properties.Handle())) << "another program's window was closed";
        EXPECT_TRUE(IsWindowVisible(news));
    }

    ASSERT_TRUE(PressButton(news, IDC_NEWS_REMOVE));
    EXPECT_NE(Answer(IDOK).find("Alpha 行情"), std::string::npos);
    ASSERT_TRUE(WaitUntil([&] { return Setting("NEWSTAB", "NUM") == "2"; }, 5s));
    const std::string settings = install.ReadSettings();
    ExpectRecord(settings, 0, records[1]);
    ExpectRecord(settings, 1, records[2]);
    EXPECT_EQ(SendMessageW(GetDlgItem(news, IDC_NEWS_TAB), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(ShownPageText(news), "Beta Bonds") << "the new first page is not shown";
}

// Records a user or another program may have left behind: addresses that are no web page,
// a huge one, a bad interval and count, and a window handle that is not the program's.
TEST_F(NewsWindowTest, HostileRecordsOpenSafely) {
    if (ServiceUrl("/").empty())
        FAIL() << "PIPWARDEN_SERVICE is not set: start the service with scripts/lib/service.sh";
    ForeignWindow own(L"pipwarden e2e window");
    ASSERT_NE(own.Handle(), nullptr);
    RECT ownPlace{};
    GetWindowRect(own.Handle(), &ownPlace);
    const std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(own.Handle()));
    const std::string longName = UniquePageName("long");
    ASSERT_TRUE(SetTestPage(longName, Page("Long", "<p>Far away</p>")));
    std::string longUrl = ServiceUrl("/testpage/" + longName + "?pad=");
    longUrl.resize(5000, 'x');
    const std::vector<Record> records = {
        {"Script", "javascript:alert(1)", "1", "1", handle},
        {"Ghost", "", "1", "10", handle},
        {"File", "file:///c:/windows/win.ini", "1", "abc", handle},
        {"Long", longUrl, "1", "10", handle},
    };
    std::string settings = NewsSettings(records, "LSTINDEX=3\r\n");
    settings.replace(settings.find("NUM=4"), 5, "NUM=99999");
    ASSERT_NO_FATAL_FAILURE(StartNews(settings));
    HWND news = OpenNews();
    ASSERT_NE(news, nullptr) << "the news window did not open";
    ASSERT_EQ(PageViews(news).size(), 3u);
    std::vector<HWND> views;
    for (int record = 0; record < 3; ++record) {
        views.push_back(PageViewOf(record));
        ASSERT_TRUE(IsChild(news, views.back())) << "record " << record << " has no view";
    }
    EXPECT_EQ(PageViewText(views[0]), NotWebPage());
    EXPECT_EQ(PageViewText(views[1]), NotWebPage());
    // The record without an address is gone: the later ones keep the numbers of their tabs.
    EXPECT_EQ(Setting("NEWSTAB", "NUM"), "3");
    EXPECT_EQ(Setting("NEWSTAB1", "URL"), records[2].url);
    // Nothing loads for an address that is no web page, and its tab shows just the name.
    const HWND tab = GetDlgItem(news, IDC_NEWS_TAB);
    EXPECT_EQ(TabItemText(tab, 0), "Script");
    EXPECT_EQ(TabItemText(tab, 1), "File");
    EXPECT_TRUE(WaitUntil([&] { return PageViewText(views[2]) == "Long Far away"; }, kLoadTimeout))
        << PageViewText(views[2]);

    SendMessageW(GetDlgItem(news, IDC_NEWS_TAB), TCM_SETCURFOCUS, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(views[0]) != FALSE; }, 5s));
    ASSERT_TRUE(PressButton(news, IDC_NEWS_REFRESH));
    ASSERT_NO_FATAL_FAILURE(CloseNews(news));
    EXPECT_EQ(WaitForPopup(kNoPopupWait), nullptr) << "a page that is no web page raised the popup";
    EXPECT_TRUE(program.IsRunning());

    RECT place{};
    GetWindowRect(own.Handle(), &place);
    EXPECT_TRUE(IsWindowVisible(own.Handle())) << "the program hid a window not its own";
    EXPECT_TRUE(EqualRect(&place, &ownPlace)) << "the program moved a window not its own";
}
