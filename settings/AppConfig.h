#pragma once
#include <string>

// Inputs the application constants are built from; the program reads them from the
// system, tests pass their own.
struct AppEnvironment {
    std::string programPath; // full path of the running program
    std::string commandLine; // the process's whole command line
    int userLangId = 0;      // user default LANGID
    int systemLcid = 0;      // system default locale id
};

class CBaseAppConfig {
public:
    explicit CBaseAppConfig(const AppEnvironment& environment);
    virtual ~CBaseAppConfig() = default;

    std::string programPath;
    std::string programFolder; // ends in a separator
    std::string arguments;
    int languageIndex = 0; // 0 English, 1 Chinese, 2 third language
};

class CAppConfig : public CBaseAppConfig {
public:
    explicit CAppConfig(const AppEnvironment& environment);

    std::string productId;
    std::string alertsPath; // program folder + "\fxconset.ini"
    std::string versionText;
    int dataSource = 1; // 1 terminal, 10 Internet quote pages
    std::string quotePage1Path;
    std::string quotePage2Path;
    std::string emailServicePath;
    std::string newsPathPrefix;
    std::string serviceAddress; // host:port of the vendor's web service
    bool newsEnabled = false;
};

// What the running process reports about itself.
AppEnvironment SystemEnvironment();

// The process-wide constants; built on first use from the real system.
// The news feature switch of this build (PIPWARDEN_NEWS).
bool NewsSwitchBuilt();

CAppConfig& AppConfig();
// Tests replace the constants; nullptr goes back to the process's own.
void SetAppConfig(CAppConfig* config);
