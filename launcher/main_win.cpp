#include <windows.h>
#include "launcher/Launcher.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "settings/SysPaths.h"
#include <string>

namespace {
// The exact path as the application name, so a folder with blanks can never make the
// system start some other program named by the first words of the command line.
void StartProgram(const std::string& programPath, const std::string& commandLine) {
    const std::wstring application = Widen(programPath);
    std::wstring arguments = Widen(commandLine); // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(application.c_str(), arguments.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const LaunchPlan plan =
        PlanLaunch(GetUserDefaultLangID(), GetProgramPath(), Narrow(GetCommandLineW()));
    if (!plan.start) {
        ShowMessageBox(plan.errorText, kLauncherCaption);
        return 0;
    }
    if (plan.delayMilliseconds > 0)
        Sleep(plan.delayMilliseconds);
    StartProgram(plan.programPath, plan.commandLine);
    return 0;
}
