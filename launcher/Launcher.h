#pragma once
#include <string>

// The launcher's decisions, apart from the system calls that feed them.

constexpr unsigned kLogonDelayMilliseconds = 10000;
constexpr char kLauncherCaption[] = "Pip Warden";

enum class MessageLanguage {
    English = 0,
    SimplifiedChinese = 1,
    TraditionalChinese = 2,
    Japanese = 3
};

// Language of the launcher's only message, from the user's default LANGID.
MessageLanguage MessageLanguageFor(unsigned langId);

// The text shown when the main program cannot be found.
std::string MissingProgramText(MessageLanguage language);

// The launcher's folder + "\file\Pipwarden.exe"; empty when the launcher path has no folder,
// so that a failed look-up of the own path never names a file relative to some other folder.
std::string MainProgramPath(const std::string& launcherPath);

// The main program finds the launcher after " /caller "; neither path is quoted.
std::string MainProgramCommandLine(const std::string& mainProgramPath,
                                   const std::string& launcherPath);

// Started at log-on: " /auto" after the first character of the lower-cased command line
// without its trailing white space.
bool IsLogonStart(const std::string& commandLine);

// Everything the launcher does: either show errorText, or wait delayMilliseconds and start
// programPath with commandLine. The main program is looked up through Files().
struct LaunchPlan {
    bool start = false;
    std::string errorText;
    std::string programPath;
    std::string commandLine;
    unsigned delayMilliseconds = 0;
};

LaunchPlan PlanLaunch(unsigned langId, const std::string& launcherPath,
                      const std::string& ownCommandLine);
