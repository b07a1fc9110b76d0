#include "settings/AppConfig.h"
#include "settings/SysPaths.h"

AppEnvironment SystemEnvironment() {
    AppEnvironment environment;
    environment.programPath = GetProgramPath();
    environment.commandLine = GetCommandLineText();
    return environment;
}
