#include "settings/AppConfig.h"
#include "platform/Process.h"
#include "settings/LanguageDetect.h"
#include "settings/Languages.h"
#include "settings/SysPaths.h"

namespace {
const char* const kProductId = "pipward";
const char* const kAlertsFileName = "\\fxconset.ini";
const char* const kDefaultVersion = "1.0";
const char* const kEmailQuery =
    "?sn=3&la={1}&lo={2}&lc={3}&ds={4}&em={5}&vs={6}&ut={7}&ct={8}&pn={100}&mm={101}";
constexpr int kTerminalSource = 1;

CAppConfig* installedConfig = nullptr;
} // namespace

CBaseAppConfig::CBaseAppConfig(const AppEnvironment& environment)
    : programPath(environment.programPath), programFolder(GetFolderOfPath(environment.programPath)),
      arguments(GetArgumentsOf(environment.commandLine)),
      languageIndex(DetectUiLanguage(environment.userLangId, environment.systemLcid, arguments)) {}

CAppConfig::CAppConfig(const AppEnvironment& environment) : CBaseAppConfig(environment) {
    productId = kProductId;
    if (PIPWARDEN_EDITION_LANGUAGE >= 0)
        languageIndex = PIPWARDEN_EDITION_LANGUAGE;
    // The folder already ends in a separator; the doubled one is harmless and kept.
    alertsPath = programFolder + kAlertsFileName;
    dataSource = kTerminalSource;
    quotePage1Path = "/jb.aspx";
    quotePage2Path = "/jc.aspx";
    if (languageIndex == kLangChinese) {
        emailServicePath = std::string("/soft/notify.aspx") + kEmailQuery;
        newsPathPrefix = "/cn/";
    } else {
        emailServicePath = std::string("/func/sendmail.aspx") + kEmailQuery;
        newsPathPrefix = "/func/";
    }
    serviceAddress = EnvironmentValue("PIPWARDEN_SERVICE", PIPWARDEN_SERVICE_DEFAULT);
    newsEnabled = NewsSwitchBuilt();
    versionText = GetProgramVersion(programPath);
    if (versionText.empty())
        versionText = kDefaultVersion;
}

CAppConfig& AppConfig() {
    if (installedConfig)
        return *installedConfig;
    static CAppConfig config(SystemEnvironment());
    return config;
}

void SetAppConfig(CAppConfig* config) {
    installedConfig = config;
}
