#include "Harness.h"
#include "platform/Text.h"
#include "settings/IniFile.h"
#include <gtest/gtest.h>
#include <thread>

// The settings engine on the Windows file system: attributes, replacement, wide paths.
TEST(SettingsFile, WindowsFileSystemRules) {
    const e2e::Installation installation({});
    const std::string path = installation.Path("file\\\\fxconset.ini"); // doubled separator
    CIniFile ini;
    ASSERT_TRUE(ini.SetPath(path));
    EXPECT_TRUE(ini.WriteString("黄金", "Message", "价格 1900.0"));
    EXPECT_TRUE(ini.WriteString("黄金", "Times", "3"));
    EXPECT_EQ(installation.ReadFile("file\\fxconset.ini"),
              "[黄金]\r\nMessage=价格 1900.0\r\nTimes=3\r\n");

    // A read-only file is made writable when it is taken into use.
    const std::wstring wide = Widen(path);
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(ini.WriteString("黄金", "Times", "4"));
    EXPECT_TRUE(ini.SetPath(path));
    EXPECT_FALSE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(ini.WriteString("黄金", "Times", "4"));
    EXPECT_EQ(ini.GetString("黄金", "times"), "4");

    // Another program reading the file for a moment does not cost the change.
    HANDLE reader = CreateFileW(wide.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread letGo([reader] {
        Sleep(100);
        CloseHandle(reader);
    });
    EXPECT_TRUE(ini.WriteString("黄金", "Times", "5"));
    letGo.join();
    EXPECT_EQ(ini.GetString("黄金", "times"), "5");

    // No temporary file is left beside the settings.
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(Widen(installation.Path("file\\*.tmp")).c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);

    // A folder in place of the file.
    installation.MakeFolder("file\\pipward.cfg");
    CIniFile folder;
    EXPECT_FALSE(folder.SetPath(installation.Path("file\\pipward.cfg")));
    EXPECT_FALSE(folder.WriteString("MAIN", "K", "v"));
    EXPECT_EQ(folder.GetString("MAIN", "K"), "");
}
