#include <windows.h>
#include "launcher/Launcher.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "settings/SysPaths.h"
#include <string>

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
