// The options window opened from the program menu: OK keeps what was changed on every page.
#include "resources/resource.h"
#include "tests/e2e/AlertWindowsHarness.h"

using namespace e2e;

namespace {
class OptionsTest : public AlertWindowsTest {};

// The page of the options window that holds the control; pages sit on the tab control.
HWND PageWith(HWND options, int id) {
    HWND tab = GetDlgItem(options, IDC_OPT_TAB);
    for (HWND page = FindWindowExW(tab, nullptr, nullptr, nullptr); page;
         page = FindWindowExW(tab, page, nullptr, nullptr))
        if (GetDlgItem(page, id))
            return page;
    return nullptr;
}

HWND OptionsWindow(DWORD processId) {
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId}))
        if (GetDlgItem(window, IDC_OPT_TAB))
            return window;
    return nullptr;
}
} // namespace

TEST_F(OptionsTest, OkKeepsTheChangesOfTwoPages) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(""));
    PostMessageW(bar, WM_COMMAND, IDM_OPTIONS, 0);
    HWND options = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (options = OptionsWindow(program.Id())) != nullptr; }, 10s));
    EXPECT_FALSE(IsEnabledItem(options, IDC_OPT_APPLY));
    HWND general = PageWith(options, IDC_OPT_CLOSE_POPUP);
    HWND email = PageWith(options, IDC_EMAIL_ADDRESS);
    ASSERT_TRUE(general && email);

    Click(general, IDC_OPT_CLOSE_POPUP); // was ticked: popups then stay open
    TypeText(email, IDC_EMAIL_ADDRESS, "ab@c.d");
    ASSERT_TRUE(WaitUntil([&] { return IsEnabledItem(options, IDC_OPT_APPLY); }, 5s));
    Click(options, IDC_OPT_OK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, 10s));

    const std::string settings = install.ReadSettings();
    EXPECT_EQ(IniValue(settings, "MAIN", "CLSNTFSNDS"), "-1");
    EXPECT_EQ(IniValue(settings, "MAIN", "NOTIFYEMAIL"), "ab@c.d");
}
