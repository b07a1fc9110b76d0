#include <windows.h>
#include "settings/AppConfig.h"
#include "settings/SysPaths.h"

AppEnvironment SystemEnvironment() {
    AppEnvironment environment;
    environment.programPath = GetProgramPath();
    environment.commandLine = GetCommandLineText();
    environment.userLangId = GetUserDefaultLangID();
    environment.systemLcid = static_cast<int>(GetSystemDefaultLCID());
    return environment;
}
