// The options window opened from the program menu: OK keeps what was changed on every page.
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/TextIds.h"
#include "tests/e2e/AlertWindowsHarness.h"
#include <commctrl.h>
#include <optional>
#include "settings/LangTable.h"

using namespace e2e;

namespace {
class OptionsTest : public AlertWindowsTest {
protected:
    // Opens the options from the program menu, clicks the controls of its pages, presses OK.
    void ChangeOptions(std::initializer_list<int> clicks) {
        PostMessageW(bar, WM_COMMAND, IDM_OPTIONS, 0);
        HWND options = nullptr;
        ASSERT_TRUE(
            WaitUntil([&] { return (options = OptionsWindowOf(program.Id())) != nullptr; }, 10s));
        for (int id : clicks)
            Click(OptionsPageWith(options, id), id);
        ASSERT_TRUE(WaitUntil([&] { return IsEnabledItem(options, IDC_OPT_APPLY); }, 5s));
        Click(options, IDC_OPT_OK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, 10s));
    }
};

const wchar_t* const kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::string> LogOnEntry() {
    wchar_t text[1024] = {};
    DWORD bytes = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Tickmon", RRF_RT_REG_SZ, nullptr, text,
                     &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return Narrow(text);
}

void RemoveLogOnEntry() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, L"Tickmon");
    RegCloseKey(key);
}
} // namespace

TEST_F(OptionsTest, OkKeepsTheChangesOfTwoPages) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(""));
    PostMessageW(bar, WM_COMMAND, IDM_OPTIONS, 0);
    HWND options = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (options = OptionsWindowOf(program.Id())) != nullptr; }, 10s));
    EXPECT_FALSE(IsEnabledItem(options, IDC_OPT_APPLY));
    HWND general = OptionsPageWith(options, IDC_OPT_CLOSE_POPUP);
    HWND email = OptionsPageWith(options, IDC_EMAIL_ADDRESS);
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

// A page that refuses its input keeps the window open in front of it, and refuses only what
// is wrong: the right address is kept while the server's fields are missing.
TEST_F(OptionsTest, OkStaysOnTheEmailPageThatRefusesAndKeepsWhatIsRight) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(""));
    PostMessageW(bar, WM_COMMAND, IDM_OPTIONS, 0);
    HWND options = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (options = OptionsWindowOf(program.Id())) != nullptr; }, 10s));
    HWND general = OptionsPageWith(options, IDC_OPT_CLOSE_POPUP);
    HWND email = OptionsPageWith(options, IDC_EMAIL_ADDRESS);
    ASSERT_TRUE(general && email);
    Click(general, IDC_OPT_CLOSE_POPUP);
    TypeText(email, IDC_EMAIL_ADDRESS, "ab@c.d");
    Click(email, IDC_MAIL_ROUTE_OWN); // and no server given
    ASSERT_TRUE(WaitUntil([&] { return IsEnabledItem(options, IDC_OPT_APPLY); }, 5s));
    const HWND tab = GetDlgItem(options, IDC_OPT_TAB);
    const auto shownPage = [&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0); };

    Click(options, IDC_OPT_OK);
    EXPECT_EQ(Answer(IDOK), GetText(kTextEnterMailServer));
    ASSERT_TRUE(IsWindow(options)) << "OK closed the window over the refused page";
    EXPECT_EQ(shownPage(), 3) << "the refusing page is not in front";
    std::string settings = install.ReadSettings();
    EXPECT_EQ(IniValue(settings, "MAIN", "NOTIFYEMAIL"), "ab@c.d");
    EXPECT_NE(IniValue(settings, "MAIN", "MAILROUTE"), "1");

    // A wrong address is refused in turn; the server given meanwhile is stored.
    TypeText(email, IDC_EMAIL_ADDRESS, "a@c.d");
    TypeText(email, IDC_SMTP_SERVER, "mail.example.test");
    TypeText(email, IDC_SMTP_FROM, "me@example.test");
    Click(options, IDC_OPT_OK);
    EXPECT_EQ(Answer(IDOK), GetText(kTextInvalidEmail));
    ASSERT_TRUE(IsWindow(options));
    settings = install.ReadSettings();
    EXPECT_EQ(IniValue(settings, "MAIN", "NOTIFYEMAIL"), "ab@c.d");
    EXPECT_EQ(IniValue(settings, "MAIN", "MAILROUTE"), "1");
    EXPECT_EQ(IniValue(settings, "MAIN", "SMTPSERVER"), "mail.example.test");

    TypeText(email, IDC_EMAIL_ADDRESS, "ab@c.de");
    Click(options, IDC_OPT_OK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, 10s));
    settings = install.ReadSettings();
    EXPECT_EQ(IniValue(settings, "MAIN", "NOTIFYEMAIL"), "ab@c.de");
    EXPECT_EQ(IniValue(settings, "MAIN", "CLSNTFSNDS"), "-1") << "the general page was lost";
}

// "Start with Windows" writes the log-on entry that runs this program, and takes it away.
TEST_F(OptionsTest, StartWithWindowsWritesAndRemovesTheLogOnEntry) {
    RemoveLogOnEntry();
    ASSERT_NO_FATAL_FAILURE(StartProgram(""));
    ASSERT_NO_FATAL_FAILURE(ChangeOptions({IDC_OPT_WITH_WINDOWS}));
    // Started without a launcher, the program itself is the one to run.
    EXPECT_EQ(LogOnEntry(), "\"" + install.MainProgramPath() + "\" /auto");
    ASSERT_NO_FATAL_FAILURE(ChangeOptions({IDC_OPT_WITH_WINDOWS}));
    EXPECT_EQ(LogOnEntry(), std::nullopt);
    RemoveLogOnEntry();
}
