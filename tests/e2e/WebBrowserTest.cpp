// The web browser control hosted in a window of the test program. Whether the system's
// engine renders anything (Wine's does not), creating, placing and letting go of the
// control must be quick and safe.
#include "platform/Text.h"
#include "platform/WebBrowser_win.h"
#include "tests/e2e/Harness.h"
#include <chrono>
#include <exdispid.h>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <ole2.h>
#include <thread>

namespace {
using namespace e2e;
using Clock = std::chrono::steady_clock;

// A fraction of a second at most on Windows; generous for a loaded machine under Wine.
constexpr Milliseconds kBlockingLimit = 1s;

HWND MakeParent() {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400,
                           300, nullptr, nullptr, nullptr, nullptr);
}

void Pump(Milliseconds time) {
    const auto end = Clock::now() + time;
    MSG message;
    while (Clock::now() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Runs the call and fails the test when it held the thread too long.
template <class Call> void WithinLimit(const char* what, Call call) {
    const auto started = Clock::now();
    call();
    EXPECT_LT(Clock::now() - started, kBlockingLimit) << what;
}

TEST(WebBrowserTest, HostsThePlacedControlAndLetsGoOfIt) {
    const HRESULT ole = OleInitialize(nullptr);
    ASSERT_TRUE(SUCCEEDED(ole));
    const HWND parent = MakeParent();
    ASSERT_TRUE(parent);

    std::unique_ptr<WebBrowser> browser;
    WithinLimit("Create", [&] {
        browser = WebBrowser::Create(parent, 77, RECT{10, 10, 210, 160}, [] {});
    });
    ASSERT_TRUE(browser);
    const HWND window = browser->Window();
    ASSERT_TRUE(window);
    EXPECT_EQ(GetParent(window), parent);
    EXPECT_EQ(GetDlgCtrlID(window), 77);
    EXPECT_FALSE(IsWindowVisible(window)) << "the control starts hidden";

    WithinLimit("Navigate", [&] { EXPECT_TRUE(browser->Navigate(L"about:blank")); });
    browser->Move(RECT{5, 20, 305, 220});
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 5);
    EXPECT_EQ(place.top, 20);
    EXPECT_EQ(place.right, 305);
    EXPECT_EQ(place.bottom, 220);
    browser->Show(true);
    EXPECT_TRUE(IsWindowVisible(window));
    browser->Show(false);
    EXPECT_FALSE(IsWindowVisible(window));

    Pump(300ms); // the control's own posted work runs before it goes away
    WithinLimit("destroy", [&] { browser.reset(); });
    EXPECT_FALSE(IsWindow(window));
    DestroyWindow(parent);
    OleUninitialize();
}

// The event arguments as the control passes them: only web pages go ahead, in a frame or in a
// new window.
TEST(WebBrowserTest, CancelsWhatIsNoWebPage) {
    struct Event {
        VARIANT arguments[7];
        VARIANT_BOOL cancel = VARIANT_FALSE;
        BSTR url;
        VARIANT urlHolder;
        explicit Event(const wchar_t* address) : url(SysAllocString(address)) {
            for (VARIANT& argument : arguments)
                VariantInit(&argument);
            VariantInit(&urlHolder);
        }
        ~Event() { SysFreeString(url); }
        void SetCancel(int at) {
            arguments[at].vt = VT_BOOL | VT_BYREF;
            arguments[at].pboolVal = &cancel;
        }
        bool Send(long id, bool& approvedNewWindow) {
            DISPPARAMS parameters{arguments, nullptr, 7, 0};
            if (id == DISPID_BEFORENAVIGATE2) { // the address inside a VARIANT reference
                urlHolder.vt = VT_BSTR;
                urlHolder.bstrVal = url;
                arguments[5].vt = VT_VARIANT | VT_BYREF;
                arguments[5].pvarVal = &urlHolder;
                SetCancel(0);
            } else if (id == DISPID_NEWWINDOW3) {
                arguments[0].vt = VT_BSTR;
                arguments[0].bstrVal = url;
                SetCancel(3);
                parameters.cArgs = 5;
            } else {
                SetCancel(0);
                parameters.cArgs = 2;
            }
            const bool cancelled = CancelUnsafeNavigation(id, &parameters, approvedNewWindow);
            EXPECT_EQ(cancelled, cancel == VARIANT_TRUE);
            return cancel == VARIANT_TRUE;
        }
    };
    bool approved = false;
    for (const wchar_t* page : {L"https://news.test/a", L"HTTP://x/", L"about:blank"}) {
        EXPECT_FALSE(Event(page).Send(DISPID_BEFORENAVIGATE2, approved)) << Narrow(page);
        EXPECT_FALSE(Event(page).Send(DISPID_NEWWINDOW3, approved)) << Narrow(page);
        EXPECT_FALSE(Event(L"").Send(DISPID_NEWWINDOW2, approved)) << Narrow(page);
    }
    for (const wchar_t* other : {L"javascript:alert(1)", L"file:///c:/windows/win.ini",
                                 L"res://ieframe.dll/x", L"mailto:a@b.test"}) {
        EXPECT_TRUE(Event(other).Send(DISPID_BEFORENAVIGATE2, approved)) << Narrow(other);
        EXPECT_TRUE(Event(other).Send(DISPID_NEWWINDOW3, approved)) << Narrow(other);
        EXPECT_TRUE(Event(L"").Send(DISPID_NEWWINDOW2, approved)) << Narrow(other);
    }
    // A NewWindow2 without an approving NewWindow3 before it opens nothing.
    EXPECT_TRUE(Event(L"").Send(DISPID_NEWWINDOW2, approved));
}

TEST(WebBrowserTest, RefusedOutsideASingleThreadedApartment) {
    // Wine creates the control without COM; in a multithreaded apartment its creation hangs.
    const HWND parent = MakeParent();
    ASSERT_TRUE(parent);
    for (const bool multithreaded : {false, true}) {
        auto refused = std::make_shared<std::promise<bool>>();
        std::future<bool> result = refused->get_future();
        std::thread([refused, parent, multithreaded] {
            if (multithreaded)
                CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            refused->set_value(WebBrowser::Create(parent, 1, RECT{0, 0, 100, 100}, [] {}) ==
                               nullptr);
            if (multithreaded)
                CoUninitialize();
        }).detach(); // a hung creation must not hang the test too
        const char* apartment = multithreaded ? "multithreaded apartment" : "no COM";
        // Generous: Wine's first multithreaded COM start can take seconds on a busy machine,
        // while the hang it guards against lasts minutes.
        ASSERT_EQ(result.wait_for(30s), std::future_status::ready) << apartment << ": Create hung";
        EXPECT_TRUE(result.get()) << apartment;
    }
    DestroyWindow(parent);
}

} // namespace
