#include "Harness.h"
#include "settings/SysPaths.h"
#include "settings/SystemFolders.h"
#include "version.h"
#include <gtest/gtest.h>

// The version text comes from the program file's own version resource.
TEST(ProgramVersion, ReadFromTheVersionResource) {
    const e2e::Installation installation({e2e::LauncherProgram()});
    EXPECT_EQ(GetProgramVersion(installation.LauncherPath()), PW_VERSION_TEXT);
    EXPECT_EQ(GetProgramVersion(installation.Path("no such file.exe")), "");
}

TEST(SystemPaths, StandardFoldersExistAndEndInABackslash) {
    for (const std::string& folder :
         {GetWindowsFolder(), GetSystemFolder(), GetTempFolder(), GetDocumentsFolder(),
          GetAppDataFolder(), GetLocalAppDataFolder()}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(folder.back(), '\\') << folder;
        EXPECT_TRUE(e2e::IsFolder(folder)) << folder;
    }
    EXPECT_FALSE(GetMachineName().empty());
    EXPECT_EQ(GetProgramFolder(), GetFolderOfPath(GetProgramPath()));
    EXPECT_TRUE(e2e::IsFile(GetProgramPath()));
}
