#include "launcher/Launcher.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace {
constexpr char kMainProgramTail[] = "\\file\\Pipwarden.exe";
constexpr char kCallerSwitch[] = " /caller ";
constexpr char kLogonSwitch[] = " /auto";

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string TrimRight(std::string text) {
    while (!text.empty() && IsWhiteSpace(text.back()))
        text.pop_back();
    return text;
}
} // namespace

MessageLanguage MessageLanguageFor(unsigned langId) {
    switch (langId) {
    case 2052: // zh-CN
    case 4100: // zh-SG
        return MessageLanguage::SimplifiedChinese;
    case 1028: // zh-TW
    case 3076: // zh-HK
        return MessageLanguage::TraditionalChinese;
    case 1041: // ja-JP
        return MessageLanguage::Japanese;
    default:
        return MessageLanguage::English;
    }
}

std::string MissingProgramText(MessageLanguage language) {
    if (language == MessageLanguage::SimplifiedChinese)
        return "文件未找到,请与我们联系.";
    return "Find not found,please contact us.";
}

std::string MainProgramPath(const std::string& launcherPath) {
    const std::size_t slash = launcherPath.rfind('\\');
    if (slash == std::string::npos)
        return "";
    return launcherPath.substr(0, slash) + kMainProgramTail;
}

std::string MainProgramCommandLine(const std::string& mainProgramPath,
                                   const std::string& launcherPath) {
    return mainProgramPath + kCallerSwitch + launcherPath;
}

bool IsLogonStart(const std::string& commandLine) {
    return TrimRight(ToLowerAscii(commandLine)).find(kLogonSwitch, 1) != std::string::npos;
}

LaunchPlan PlanLaunch(unsigned langId, const std::string& launcherPath,
                      const std::string& ownCommandLine) {
    LaunchPlan plan;
    plan.programPath = MainProgramPath(launcherPath);
    if (plan.programPath.empty() || Files().Kind(plan.programPath) != PathKind::File) {
        plan.errorText = MissingProgramText(MessageLanguageFor(langId));
        return plan;
    }
    plan.start = true;
    plan.commandLine = MainProgramCommandLine(plan.programPath, launcherPath);
    plan.delayMilliseconds = IsLogonStart(ownCommandLine) ? kLogonDelayMilliseconds : 0;
    return plan;
}
