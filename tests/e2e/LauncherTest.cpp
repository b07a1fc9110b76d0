// The launcher seen from outside, with the recorder standing in for the main program.
#include "platform/Desktop.h"
#include "tests/e2e/Harness.h"
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>

using namespace e2e;

namespace {
constexpr char kEnglishText[] = "Find not found,please contact us.";
constexpr char kChineseText[] = "文件未找到,请与我们联系.";
constexpr char kCaption[] = "Pip Warden";

constexpr std::int64_t kTicksPerMillisecond = 10000; // FILETIME units
constexpr Milliseconds kLogonDelay = 10s;
constexpr Milliseconds kLogonDelayTolerance = 100ms;
constexpr Milliseconds kLogonDelayLimit = 15s;    // the delay plus a slow start under Wine
constexpr Milliseconds kImmediateStartLimit = 8s; // well below the log-on delay
constexpr Milliseconds kWaitingCheck = 2s;

// One start of the recorder.
struct Record {
    std::uint64_t time = 0;
    unsigned langId = 0;
    std::string show;
    std::string commandLine;
};

std::string Field(const std::string& line, const std::string& name) {
    const std::size_t start = line.find(name + "=");
    if (start == std::string::npos)
        return "";
    const std::size_t value = start + name.size() + 1;
    return line.substr(value, line.find(' ', value) - value);
}

std::uint64_t Number(const std::string& text) {
    return std::strtoull(text.c_str(), nullptr, 10);
}

std::vector<Record> ReadRecords(const std::string& recorderPath) {
    const std::string content = ReadTextFile(recorderPath + ".rec");
    std::vector<Record> records;
    std::size_t start = 0;
    for (std::size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = content.substr(start, end - start);
        const std::size_t command = line.find(" cmd=");
        if (command == std::string::npos)
            continue;
        const std::string head = line.substr(0, command);
        Record record;
        record.time = Number(Field(head, "time"));
        record.langId = static_cast<unsigned>(Number(Field(head, "lang")));
        record.show = Field(head, "show");
        record.commandLine = line.substr(command + 5);
        records.push_back(record);
    }
    return records;
}

std::vector<Record> WaitForRecords(const std::string& recorderPath, std::size_t count,
                                   Milliseconds timeout) {
    std::vector<Record> records;
    WaitUntil(
        [&] {
            records = ReadRecords(recorderPath);
            return records.size() >= count;
        },
        timeout);
    return records;
}

std::int64_t MillisecondsBetween(std::uint64_t from, std::uint64_t to) {
    return (static_cast<std::int64_t>(to) - static_cast<std::int64_t>(from)) / kTicksPerMillisecond;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// The launcher's error box: its text and buttons, then OK, then the launcher must end.
void ExpectErrorBoxThenExit(Process& launcher, const std::string& expectedText) {
    const HWND box = WaitForWindow({"#32770", std::nullopt, launcher.Id()});
    ASSERT_NE(box, nullptr) << "no message box from the launcher";
    EXPECT_EQ(WindowText(box), kCaption);
    EXPECT_EQ(MessageBoxText(box), expectedText);
    std::vector<int> buttons;
    for (const ChildWindow& child : ChildWindows(box))
        if (child.className == "Button" && IsWindowVisible(child.handle))
            buttons.push_back(child.id);
    EXPECT_EQ(buttons, std::vector<int>{IDOK});
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_TRUE(launcher.WaitForExit(kStartTimeout)) << "the launcher did not end after OK";
}

class LauncherTest : public ::testing::Test {
protected:
    Installation install{{LauncherProgram(), RecorderAs("file\\Pipwarden.exe")}};

    std::string ExpectedCommandLine() const {
        return install.MainProgramPath() + " /caller " + install.LauncherPath();
    }
    Process StartLauncher(const std::string& arguments) const {
        return Process::Start(install.LauncherPath(), arguments);
    }
    std::vector<Record> MainProgramStarts(std::size_t count, Milliseconds timeout) const {
        return WaitForRecords(install.MainProgramPath(), count, timeout);
    }
};

TEST_F(LauncherTest, StartsTheMainProgramShownNormallyWithItsOwnPathAndEnds) {
    Process launcher = StartLauncher(Quoted(install.LauncherPath()));
    ASSERT_TRUE(launcher);
    EXPECT_TRUE(launcher.WaitForExit(kStartTimeout));
    const std::vector<Record> starts = MainProgramStarts(1, kStartTimeout);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, ExpectedCommandLine());
    EXPECT_EQ(starts[0].show, std::to_string(SW_SHOWNORMAL));
}

// The folders hold blanks: a start by command line alone would try "...\pw e2e N\Pip.exe"
// before the real program.
TEST_F(LauncherTest, StartsTheMainProgramByItsExactPathNotByTheFirstWords) {
    install.Place(RecorderAs("..\\Pip.exe"));
    Process launcher = StartLauncher(Quoted(install.LauncherPath()));
    ASSERT_TRUE(launcher);
    EXPECT_TRUE(launcher.WaitForExit(kStartTimeout));
    EXPECT_EQ(MainProgramStarts(1, kStartTimeout).size(), 1u);
    EXPECT_TRUE(ReadRecords(install.Path("..\\Pip.exe")).empty()) << "the decoy was started";
}

// The terminal is started by the same rule, maximised, with its path as its command line.
TEST_F(LauncherTest, TerminalStartTakesTheExactPathShownMaximised) {
    install.Place(RecorderAs("..\\Pip.exe"));
    ASSERT_TRUE(PlatformDesktop().StartProgram(install.MainProgramPath()));
    const std::vector<Record> starts = MainProgramStarts(1, kStartTimeout);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, install.MainProgramPath());
    EXPECT_EQ(starts[0].show, std::to_string(SW_SHOWMAXIMIZED));
    EXPECT_TRUE(ReadRecords(install.Path("..\\Pip.exe")).empty()) << "the decoy was started";
}

TEST_F(LauncherTest, LogonStartWaitsTenSecondsFirst) {
    const std::uint64_t started = SystemTimeNow();
    Process launcher = StartLauncher(Quoted(install.LauncherPath()) + " /auto");
    ASSERT_TRUE(launcher);
    const std::vector<Record> starts = MainProgramStarts(1, kLogonDelayLimit + kStartTimeout);
    ASSERT_EQ(starts.size(), 1u);
    const std::int64_t delay = MillisecondsBetween(started, starts[0].time);
    std::cout << "[          ] log-on start began the main program after " << delay << " ms\n";
    EXPECT_GE(delay, (kLogonDelay - kLogonDelayTolerance).count());
    EXPECT_LE(delay, kLogonDelayLimit.count());
    EXPECT_EQ(starts[0].commandLine, ExpectedCommandLine());
    EXPECT_TRUE(launcher.WaitForExit(kStartTimeout));
}

TEST_F(LauncherTest, LogonSwitchIgnoresCaseAndTrailingBlanks) {
    Process launcher = StartLauncher(Quoted(install.LauncherPath()) + " /AUTO   ");
    ASSERT_TRUE(launcher);
    EXPECT_FALSE(
        WaitUntil([&] { return !ReadRecords(install.MainProgramPath()).empty(); }, kWaitingCheck))
        << "the main program started without the log-on delay";
    EXPECT_TRUE(launcher.IsRunning());
}

TEST_F(LauncherTest, SwitchAtTheVeryStartOfTheCommandLineDoesNotWait) {
    const std::vector<std::string> commandLines = {"/auto", " /auto"};
    for (std::size_t i = 0; i < commandLines.size(); ++i) {
        SCOPED_TRACE("command line \"" + commandLines[i] + "\"");
        const std::uint64_t started = SystemTimeNow();
        Process launcher = StartLauncher(commandLines[i]);
        ASSERT_TRUE(launcher);
        const std::vector<Record> starts = MainProgramStarts(i + 1, kImmediateStartLimit);
        ASSERT_EQ(starts.size(), i + 1);
        EXPECT_LT(MillisecondsBetween(started, starts[i].time), kImmediateStartLimit.count());
        EXPECT_EQ(starts[i].commandLine, ExpectedCommandLine());
        EXPECT_TRUE(launcher.WaitForExit(kStartTimeout));
    }
}

// Error boxes: the language comes from the locale the launcher runs in; en_US pins English.
TEST(LauncherErrorTest, MissingMainProgramShowsTheError) {
    Installation install{{LauncherProgram()}};
    Process launcher = Process::StartInLocale(install.LauncherPath(), "en_US.UTF-8");
    ASSERT_TRUE(launcher);
    ExpectErrorBoxThenExit(launcher, kEnglishText);
}

TEST(LauncherErrorTest, FolderNamedLikeTheMainProgramCountsAsMissing) {
    Installation install{{LauncherProgram()}};
    install.MakeFolder("file\\Pipwarden.exe");
    Process launcher = Process::StartInLocale(install.LauncherPath(), "en_US.UTF-8");
    ASSERT_TRUE(launcher);
    ExpectErrorBoxThenExit(launcher, kEnglishText);
}

struct LanguageCase {
    const char* unixLocale;
    unsigned langId;
    const char* text;
};

class LauncherLanguageTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LauncherLanguageTest, ErrorTextFollowsTheUserLanguage) {
    const LanguageCase& language = GetParam();
    Installation install{{LauncherProgram(), RecorderAs("probe.exe")}};

    // First make sure the locale really gives the program that language.
    ASSERT_TRUE(Process::LaunchInLocale(install.Path("probe.exe"), language.unixLocale));
    const std::vector<Record> probe = WaitForRecords(install.Path("probe.exe"), 1, kStartTimeout);
    ASSERT_EQ(probe.size(), 1u);
    ASSERT_EQ(probe[0].langId, language.langId);

    Process launcher = Process::StartInLocale(install.LauncherPath(), language.unixLocale);
    ASSERT_TRUE(launcher);
    ExpectErrorBoxThenExit(launcher, language.text);
}

INSTANTIATE_TEST_SUITE_P(Languages, LauncherLanguageTest,
                         ::testing::Values(LanguageCase{"zh_TW.UTF-8", 1028, kEnglishText},
                                           LanguageCase{"ja_JP.UTF-8", 1041, kEnglishText},
                                           LanguageCase{"zh_CN.UTF-8", 2052, kChineseText}),
                         [](const ::testing::TestParamInfo<LanguageCase>& info) {
                             return "LangId" + std::to_string(info.param.langId);
                         });

} // namespace
