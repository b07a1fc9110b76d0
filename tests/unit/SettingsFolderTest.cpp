#include "app/SettingsFolder.h"
#include "tests/unit/FakeFiles.h"
#include <gtest/gtest.h>

namespace {
const std::string kFolder = "C:\\PW\\file\\";
const std::string kSettings = kFolder + "pipward.cfg";
const std::string kAlerts = kFolder + "fxconset.ini";
} // namespace

TEST(SettingsFolder, KeptOnlyWhenTheFolderAndEveryExistingFileTakeWrites) {
    struct Case {
        const char* name;
        std::vector<std::string> existing;
        std::vector<std::string> unwritable;
        bool kept;
    };
    const Case cases[] = {
        {"fresh folder", {}, {}, true},
        {"both files writable", {kSettings, kAlerts}, {}, true},
        {"folder refuses new files", {kSettings}, {kFolder}, false},
        {"settings file refuses writing", {kSettings, kAlerts}, {kSettings}, false},
        {"alerts file refuses writing", {kSettings, kAlerts}, {kAlerts}, false},
        // A file that is not there yet is made in the folder, which takes new files.
        {"missing file", {kAlerts}, {kSettings}, true},
    };
    for (const Case& c : cases) {
        FakeFiles files;
        for (const std::string& path : c.existing)
            files.files[path] = "[MAIN]\r\n";
        files.unwritable.insert(c.unwritable.begin(), c.unwritable.end());
        EXPECT_EQ(CanKeepSettingsIn(files, kFolder, {kSettings, kAlerts}), c.kept) << c.name;
    }
}

TEST(SettingsFolder, ShownWithoutTheClosingBackslashButARootKeepsIt) {
    EXPECT_EQ(FolderForDisplay("C:\\Program Files\\Pip Warden\\file\\"),
              "C:\\Program Files\\Pip Warden\\file");
    EXPECT_EQ(FolderForDisplay("D:\\"), "D:\\");
    EXPECT_EQ(FolderForDisplay("\\\\server\\share\\pw\\"), "\\\\server\\share\\pw");
}

TEST(SettingsFolder, ReadOnlyFolderRefusesChangesInsideAndPassesTheRestOn) {
    FakeFiles files;
    files.files[kSettings] = "[MAIN]\r\n";
    files.files["C:\\Temp\\page.htm"] = "";
    ReadOnlyFolderFiles readOnly(files, kFolder);
    const std::string inside = "c:\\pw\\FILE\\fxconset.ini";
    EXPECT_FALSE(readOnly.ReplaceAtomically(kSettings, "[MAIN]\r\nX=1\r\n"));
    EXPECT_FALSE(readOnly.ReplaceAtomically(inside, "[A]\r\n"));
    EXPECT_FALSE(readOnly.Append(kFolder + "Pipwarden_log.txt", "line"));
    EXPECT_FALSE(readOnly.Delete(kSettings));
    EXPECT_FALSE(readOnly.CanCreateFileIn("C:\\PW\\file"));
    EXPECT_EQ(files.files.size(), 2u);
    EXPECT_EQ(files.files[kSettings], "[MAIN]\r\n");
    std::string content;
    EXPECT_TRUE(readOnly.ReadAll(kSettings, content));
    EXPECT_EQ(content, "[MAIN]\r\n");
    // A folder that merely begins like it is another folder.
    EXPECT_TRUE(readOnly.ReplaceAtomically("C:\\PW\\file2\\x.ini", "x"));
    EXPECT_TRUE(readOnly.ReplaceAtomically("C:\\Temp\\page.htm", "<p>"));
    EXPECT_EQ(files.files["C:\\Temp\\page.htm"], "<p>");
}
