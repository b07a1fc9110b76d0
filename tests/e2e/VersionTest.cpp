#include "Harness.h"
#include "settings/SysPaths.h"
#include "version.h"
#include <gtest/gtest.h>

// The version text comes from the program file's own version resource.
TEST(ProgramVersion, ReadFromTheVersionResource) {
    const e2e::Installation installation({e2e::LauncherProgram()});
    EXPECT_EQ(GetProgramVersion(installation.LauncherPath()), PW_VERSION_TEXT);
    EXPECT_EQ(GetProgramVersion(installation.Path("no such file.exe")), "");
}
