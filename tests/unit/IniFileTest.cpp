#include "settings/IniFile.h"
#include "TempFolder.h"
#include "settings/IniDocument.h"
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

TEST(IniFile, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
    TempFolder dir;
    CIniFile ini;
    ASSERT_TRUE(ini.SetPath(dir.path + "\\fxconset.ini"));
    EXPECT_EQ(ini.GetString("A", "k"), "");
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(ini.GetSectionNames(names), 0);
    EXPECT_TRUE(names.empty());

    EXPECT_TRUE(ini.WriteString("Alert1", "Symbol", "EURUSD"));
    EXPECT_TRUE(ini.WriteInt("Alert1", "Times", -1));
    EXPECT_TRUE(ini.WriteString("Alert0", "Symbol", "GOLD"));
    EXPECT_EQ(ReadText(ini.GetPath()),
              "[Alert1]\r\nSymbol=EURUSD\r\nTimes=-1\r\n[Alert0]\r\nSymbol=GOLD\r\n");
    EXPECT_EQ(ini.GetSectionNames(names), 2);
    EXPECT_EQ(names, (std::vector<std::string>{"Alert1", "Alert0"}));

    const std::string before = ReadText(ini.GetPath());
    ini.DeleteSection("missing");
    EXPECT_EQ(ReadText(ini.GetPath()), before);
    ini.DeleteSection("alert1");
    EXPECT_EQ(ReadText(ini.GetPath()), "[Alert0]\r\nSymbol=GOLD\r\n");
}

TEST(IniFile, FolderInPlaceOfTheFile) {
    TempFolder dir;
    const std::string path = dir.path + "pipward.cfg";
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    CIniFile ini;
    EXPECT_FALSE(ini.SetPath(path));
    EXPECT_EQ(ini.GetString("MAIN", "K"), "");
    EXPECT_FALSE(ini.WriteString("MAIN", "K", "v"));
    EXPECT_FALSE(ini.SetPath(dir.path)); // the folder itself
}

TEST(IniFile, ReadOnlyFileIsMadeWritable) {
    TempFolder dir;
    const std::string path = dir.path + "pipward.cfg";
    WriteText(path, "[MAIN]\r\nA=1\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    CIniFile ini;
    EXPECT_TRUE(ini.SetPath(path));
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_TRUE(ini.WriteString("MAIN", "B", "2"));
    EXPECT_EQ(ReadText(path), "[MAIN]\r\nA=1\r\nB=2\r\n");

    ASSERT_EQ(::chmod(path.c_str(), 0444), 0); // made read-only behind our back
    EXPECT_FALSE(ini.WriteString("MAIN", "C", "3"));
    EXPECT_EQ(ini.GetString("MAIN", "A"), "1");
}

TEST(IniFile, MissingFolderFailsTheWrite) {
    TempFolder dir;
    CIniFile ini;
    EXPECT_TRUE(ini.SetPath(dir.path + "nofolder/pipward.cfg"));
    EXPECT_FALSE(ini.WriteString("MAIN", "K", "v"));
}

TEST(IniFile, BadInputFilesGiveTheirValues) {
    TempFolder dir;
    const std::string path = dir.path + "odd.ini";
    using namespace std::string_literals;
    WriteText(path, "\xEF\xBB\xBF\x01\x02garbage\n[MAIN]\nK = v \n\x00\x00zero=1\n[S]\nbig="s +
                        std::string(70000, 'x'));
    CIniFile ini;
    ASSERT_TRUE(ini.SetPath(path));
    EXPECT_EQ(ini.GetString("MAIN", "k"), "v");
    EXPECT_EQ(ini.GetString("S", "big").size(), 65534u);
    EXPECT_TRUE(ini.WriteString("MAIN", "new", "1"));
    const std::string after = ReadText(path);
    EXPECT_NE(after.find("\x01\x02garbage\n"), std::string::npos);
    EXPECT_NE(after.find("big=" + std::string(70000, 'x')), std::string::npos); // nothing lost
}

// A writer killed at any moment leaves either the old or the new file, never a
// torn one, and no key is ever lost.
TEST(IniFile, KilledWriterNeverLeavesAHalfWrittenFile) {
    TempFolder dir;
    const std::string path = dir.path + "pipward.cfg";
    constexpr int kKeys = 40;
    {
        CIniFile ini;
        ini.SetPath(path);
        for (int k = 0; k < kKeys; ++k)
            ini.WriteString("MAIN", "KEY" + std::to_string(k), std::string(200, 'a'));
    }
    std::mt19937 random(12345);
    for (int round = 0; round < 60; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CIniFile ini;
            ini.SetPath(path);
            for (unsigned i = 0;; ++i)
                ini.WriteString("MAIN", "KEY" + std::to_string(i % kKeys),
                                std::string(200, 'a' + i % 26));
        }
        ::usleep(500 + random() % 4000);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        const IniDocument doc(ReadText(path));
        for (int k = 0; k < kKeys; ++k)
            ASSERT_EQ(doc.Get("MAIN", "KEY" + std::to_string(k)).size(), 200u)
                << "round " << round << " key " << k;
    }
}
