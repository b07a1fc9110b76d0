#include "launcher/Launcher.h"
#include "platform/FileSystem.h"
#include <gtest/gtest.h>
#include <map>

namespace {
const std::string kEnglish = "Find not found,please contact us.";
const std::string kChinese = "文件未找到,请与我们联系.";
const std::string kLauncher = "C:\\Program Files\\Pip Warden\\Pip Warden.exe";
const std::string kMain = "C:\\Program Files\\Pip Warden\\file\\Pipwarden.exe";

// Only Kind is asked; the rest answers "nothing there".
class PathKinds final : public FileSystem {
public:
    std::map<std::string, PathKind> kinds;
    std::vector<std::string> asked;

    PathKind Kind(const std::string& path) override {
        asked.push_back(path);
        const auto found = kinds.find(path);
        return found == kinds.end() ? PathKind::Missing : found->second;
    }
    bool ReadAll(const std::string&, std::string&) override { return false; }
    bool ReplaceAtomically(const std::string&, const std::string&) override { return false; }
    bool Append(const std::string&, const std::string&) override { return false; }
    bool IsReadOnly(const std::string&) override { return false; }
    bool ClearReadOnly(const std::string&) override { return false; }
    bool Delete(const std::string&) override { return false; }
    std::int64_t Size(const std::string&) override { return -1; }
};

class LauncherPlanTest : public ::testing::Test {
protected:
    PathKinds files;
    void SetUp() override { SetFiles(&files); }
    void TearDown() override { SetFiles(nullptr); }
};
} // namespace

TEST(Launcher, MessageLanguageFromLangId) {
    EXPECT_EQ(MessageLanguageFor(2052), MessageLanguage::SimplifiedChinese);
    EXPECT_EQ(MessageLanguageFor(4100), MessageLanguage::SimplifiedChinese);
    EXPECT_EQ(MessageLanguageFor(1028), MessageLanguage::TraditionalChinese);
    EXPECT_EQ(MessageLanguageFor(3076), MessageLanguage::TraditionalChinese);
    EXPECT_EQ(MessageLanguageFor(1041), MessageLanguage::Japanese);
    EXPECT_EQ(MessageLanguageFor(1033), MessageLanguage::English);
    EXPECT_EQ(MessageLanguageFor(0x0004), MessageLanguage::English); // neutral zh-Hans
    EXPECT_EQ(MessageLanguageFor(5124), MessageLanguage::English);   // zh-MO is not listed
}

TEST(Launcher, OnlySimplifiedChineseGetsTheChineseText) {
    EXPECT_EQ(MissingProgramText(MessageLanguage::SimplifiedChinese), kChinese);
    EXPECT_EQ(MissingProgramText(MessageLanguage::TraditionalChinese), kEnglish);
    EXPECT_EQ(MissingProgramText(MessageLanguage::Japanese), kEnglish);
    EXPECT_EQ(MissingProgramText(MessageLanguage::English), kEnglish);
}

TEST(Launcher, MainProgramPathAndCommandLine) {
    EXPECT_EQ(MainProgramPath(kLauncher), kMain);
    EXPECT_EQ(MainProgramPath("D:\\a.b\\c d\\x"), "D:\\a.b\\c d\\file\\Pipwarden.exe");
    EXPECT_EQ(MainProgramPath("C:\\Launcher.exe"), "C:\\file\\Pipwarden.exe");
    EXPECT_EQ(MainProgramPath("Launcher.exe"), ""); // no folder: nothing to find
    EXPECT_EQ(MainProgramPath(""), "");
    EXPECT_EQ(MainProgramCommandLine(kMain, kLauncher),
              "C:\\Program Files\\Pip Warden\\file\\Pipwarden.exe /caller "
              "C:\\Program Files\\Pip Warden\\Pip Warden.exe");
}

TEST(Launcher, LogonSwitch) {
    EXPECT_TRUE(IsLogonStart("\"C:\\Pip Warden\\Pip Warden.exe\" /auto"));
    EXPECT_TRUE(IsLogonStart("\"C:\\Pip Warden\\Pip Warden.exe\" /AUTO  \t\r\n"));
    EXPECT_TRUE(IsLogonStart("x /Auto"));
    EXPECT_TRUE(IsLogonStart("x /autostart")); // a plain substring search
    EXPECT_TRUE(IsLogonStart("x /auto more"));
    EXPECT_FALSE(IsLogonStart("/auto"));  // no blank before it
    EXPECT_FALSE(IsLogonStart(" /auto")); // at position 0
    EXPECT_FALSE(IsLogonStart("\"C:\\Pip Warden.exe\" -auto"));
    EXPECT_FALSE(IsLogonStart("\"C:\\Pip Warden.exe\" /aut o"));
    EXPECT_FALSE(IsLogonStart(""));
    EXPECT_TRUE(IsLogonStart(" /auto /auto")); // the second one is past position 0
}

TEST_F(LauncherPlanTest, StartsTheMainProgramWhenItIsAFile) {
    files.kinds[kMain] = PathKind::File;
    const LaunchPlan plan = PlanLaunch(1033, kLauncher, "\"" + kLauncher + "\"");
    EXPECT_TRUE(plan.start);
    EXPECT_EQ(plan.programPath, kMain);
    EXPECT_EQ(plan.commandLine, kMain + " /caller " + kLauncher);
    EXPECT_EQ(plan.delayMilliseconds, 0u);
    EXPECT_EQ(files.asked, std::vector<std::string>{kMain});

    EXPECT_EQ(PlanLaunch(1033, kLauncher, "\"" + kLauncher + "\" /auto ").delayMilliseconds,
              10000u);
}

TEST_F(LauncherPlanTest, MissingOrFolderShowsTheErrorInTheUserLanguage) {
    LaunchPlan plan = PlanLaunch(2052, kLauncher, "x /auto");
    EXPECT_FALSE(plan.start);
    EXPECT_EQ(plan.errorText, kChinese);
    EXPECT_EQ(plan.delayMilliseconds, 0u); // no wait before the error

    files.kinds[kMain] = PathKind::Folder;
    plan = PlanLaunch(1041, kLauncher, "");
    EXPECT_FALSE(plan.start);
    EXPECT_EQ(plan.errorText, kEnglish);
}

TEST_F(LauncherPlanTest, UnknownOwnPathShowsTheErrorWithoutLooking) {
    files.kinds["\\file\\Pipwarden.exe"] = PathKind::File;
    const LaunchPlan plan = PlanLaunch(1033, "", "");
    EXPECT_FALSE(plan.start);
    EXPECT_EQ(plan.errorText, kEnglish);
    EXPECT_TRUE(files.asked.empty());
}
