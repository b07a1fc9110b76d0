#include "settings/Config.h"
#include "TempFolder.h"
#include "settings/AppConfig.h"
#include "settings/SysPaths.h"
#include <gtest/gtest.h>

namespace {
AppEnvironment EnvironmentIn(const std::string& folder) {
    AppEnvironment environment;
    environment.programPath = folder + "Pipwarden.exe";
    environment.commandLine = "\"" + environment.programPath + "\"";
    return environment;
}
} // namespace

TEST(Config, FirstStartCreatesSettingsFileWithUpperCaseNames) {
    TempFolder dir;
    CAppConfig app(EnvironmentIn(dir.path));
    SetAppConfig(&app);
    CConfig config;
    EXPECT_EQ(config.Get("DisplayCurrency"), "");
    EXPECT_EQ(config.GetPath(), dir.path + "pipward.cfg");

    config.Set("ShowBidPrice", "1");
    config.SetInt("popWin", -1);
    config.Set("NewsTab0", "Url", "http://x/?a=1&b=2");
    EXPECT_EQ(config.Get("SHOWBIDPRICE"), "1");
    EXPECT_EQ(config.Get("showbidprice"), "1");
    EXPECT_EQ(config.Get("newstab0", "url"), "http://x/?a=1&b=2");
    EXPECT_EQ(ReadText(dir.path + "pipward.cfg"),
              "[MAIN]\r\nSHOWBIDPRICE=1\r\nPOPWIN=-1\r\n[NEWSTAB0]\r\nURL=http://x/?a=1&b=2\r\n");
    SetAppConfig(nullptr);
}

TEST(AppConfig, ProgramFolderRule) {
    EXPECT_EQ(GetFolderOfPath("C:\\Program Files\\Pip Warden\\file\\Pipwarden.exe"),
              "C:\\Program Files\\Pip Warden\\file\\");
    EXPECT_EQ(GetFolderOfPath("C:\\"), "C:\\");
    EXPECT_EQ(GetFolderOfPath("C:\\Pipwarden.exe"), "C:\\");
    EXPECT_EQ(GetFolderOfPath("D:/tools/pw/Pipwarden.exe"), "D:/tools/pw/");
    EXPECT_EQ(GetFolderOfPath("D:/tools/pw/"), "D:/tools/");
    EXPECT_EQ(GetFolderOfPath("Pipwarden.exe"), "Pipwarden.exe\\");
    EXPECT_EQ(GetFolderOfPath(""), "\\");
}

TEST(AppConfig, ConstantsFollowTheLanguage) {
    AppEnvironment environment;
    environment.programPath = "C:\\pw\\file\\Pipwarden.exe";
    environment.commandLine = "\"C:\\pw\\file\\Pipwarden.exe\" en";
    const CAppConfig app(environment);
    EXPECT_EQ(app.productId, "pipward");
    EXPECT_EQ(app.programFolder, "C:\\pw\\file\\");
    EXPECT_EQ(app.alertsPath, "C:\\pw\\file\\\\fxconset.ini");
    EXPECT_EQ(app.arguments, "en");
    EXPECT_EQ(app.dataSource, 1);
    EXPECT_EQ(app.quotePage1Path, "/jb.aspx");
    EXPECT_EQ(app.quotePage2Path, "/jc.aspx");
    EXPECT_EQ(app.versionText, "1.0"); // no version resource here
    if (PIPWARDEN_EDITION_LANGUAGE >= 0) {
        EXPECT_EQ(app.languageIndex, PIPWARDEN_EDITION_LANGUAGE);
    }
    const std::string query =
        "?sn=3&la={1}&lo={2}&lc={3}&ds={4}&em={5}&vs={6}&ut={7}&ct={8}&pn={100}&mm={101}";
    if (app.languageIndex == 1) {
        EXPECT_EQ(app.emailServicePath, "/soft/notify.aspx" + query);
        EXPECT_EQ(app.newsPathPrefix, "/cn/");
    } else {
        EXPECT_EQ(app.emailServicePath, "/func/sendmail.aspx" + query);
    }
}

TEST(SysPaths, ArgumentsVersionAndMachineName) {
    EXPECT_EQ(GetArgumentsOf("\"C:\\a b\\Pipwarden.exe\" en"), "en");
    EXPECT_EQ(GetArgumentsOf("C:\\a\\Pipwarden.exe /caller C:\\x\\Pip Warden.exe"),
              "/caller C:\\x\\Pip Warden.exe");
    EXPECT_EQ(GetArgumentsOf("\"C:\\a\\Pipwarden.exe\""), "");
    EXPECT_EQ(GetArgumentsOf("Pipwarden"), "");
    EXPECT_EQ(JoinVersionValues(NormaliseVersionValue("1, 2, 0, 5 (beta)")), "1.2.0.5");
    EXPECT_EQ(JoinVersionValues("1.0.0.1;2.0"), "1.0.0.1;2.0");
    EXPECT_EQ(ChooseMachineName("TRADER-PC", "ENV"), "TRADER-PC");
    EXPECT_EQ(ChooseMachineName("?"
                                "?-PC",
                                "交易"),
              "交易");
    EXPECT_EQ(ChooseMachineName("", "ENV"), "ENV");
}
