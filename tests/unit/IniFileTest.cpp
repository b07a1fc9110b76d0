#include "settings/IniFile.h"
#include "TempFolder.h"
#include "platform/FileSystem.h"
#include "settings/IniDocument.h"
#include "tools/crash/SettingsChurn.h"
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <set>
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

// A leftover of a killed writer goes with the next replace of its target; others stay.
TEST(IniFile, LeftoverTemporaryFilesOfGoneWritersAreRemoved) {
    const std::pair<const char*, std::optional<std::uint32_t>> names[] = {
        {"pipward.cfg.~123.0.tmp", 123u},
        {"PIPWARD.CFG.~4000000000.17.tmp", 4000000000u},
        {"pipward.cfg.~123.tmp", std::nullopt},
        {"pipward.cfg.~x.0.tmp", std::nullopt},
        {"pipward.cfg.~5000000000.0.tmp", std::nullopt},
        {"pipward.cfg.~1.0.tmp.bak", std::nullopt},
        {"fxconset.ini.~123.0.tmp", std::nullopt},
        {"pipward.cfg", std::nullopt},
    };
    for (const auto& [name, owner] : names)
        EXPECT_EQ(ReplacementTempOwner(name, "pipward.cfg"), owner) << name;

    TempFolder dir;
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string path = dir.path + "pipward.cfg";
    const std::string ofGone = ReplacementTempPath(path, gone, 3);
    const std::string ofLive = ReplacementTempPath(path, ::getppid(), 3);
    const std::string ofOther = ReplacementTempPath(dir.path + "fxconset.ini", gone, 3);
    for (const std::string& leftover : {ofGone, ofLive, ofOther})
        WriteText(leftover, "[MAIN]\r\nHALF=");
    CIniFile ini;
    ini.SetPath(path);
    EXPECT_EQ(ini.GetString("MAIN", "HALF"), ""); // a read does not see them
    EXPECT_TRUE(ini.WriteString("MAIN", "K", "v"));
    EXPECT_FALSE(FileExists(ofGone));
    EXPECT_TRUE(FileExists(ofLive));
    EXPECT_TRUE(FileExists(ofOther));
    EXPECT_EQ(ReadText(path), "[MAIN]\r\nK=v\r\n");
}

namespace {
// On a memory file system a sync does not hold a kill up; what a kill leaves is the same.
struct MemoryFolder {
    MemoryFolder() {
        std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/pwkill-XXXXXX"
                                                                        : "/tmp/pwkill-XXXXXX";
        path = ::mkdtemp(pattern.data());
        path += '/';
    }
    ~MemoryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};
} // namespace

// Writers of both settings files killed at random moments: each file stays whole, every key
// holds its value from before the kill or one the writer wrote, and a writer's temporary file
// lasts only until the next write of its target. PIPWARDEN_KILLS sets the count.
TEST(IniFile, KilledWritersNeverLeaveAHalfWrittenFileOrALostKey) {
    constexpr int kDefaultKills = 200;
    constexpr unsigned kMaxDelayMicroseconds = 1000;
    // Kills that all land between writes would prove nothing: the kills go on until this many
    // landed inside a write (0 to 30 in 200 were seen), up to ten times as many kills.
    constexpr int kMinKillsInWrite = 5;
    const char* wanted = std::getenv("PIPWARDEN_KILLS");
    const int kills = wanted && std::atoi(wanted) > 0 ? std::atoi(wanted) : kDefaultKills;
    MemoryFolder dir;
    churn::Values values;
    churn::Writer(dir.path).Write(0);
    ASSERT_EQ(churn::ReadFiles(dir.path, values), "");
    ASSERT_GT(values.size(), 50u);
    std::mt19937 random(12345);
    std::set<std::string> leftovers;
    int killsInWrite = 0; // kills that left a temporary file: the kill landed inside a write
    int round = 0;
    for (; round < kills || (killsInWrite < kMinKillsInWrite && round < 10 * kills); ++round) {
        const unsigned firstWrite = random();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            churn::Writer(dir.path).WriteForever(churn::RoundStart(round), firstWrite);
        ::usleep(random() % kMaxDelayMicroseconds);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        churn::Values now;
        ASSERT_EQ(churn::CheckFiles(dir.path, values, churn::RoundStart(round), now), "")
            << "kill " << round;
        values = std::move(now);
        const std::vector<std::string> temporary = churn::TemporaryFiles(dir.path);
        ASSERT_LE(temporary.size(), 2u) << "kill " << round; // one per file at most
        leftovers.insert(temporary.begin(), temporary.end());
        killsInWrite += temporary.empty() ? 0 : 1;
    }
    churn::Writer(dir.path).Write(1);
    EXPECT_TRUE(churn::TemporaryFiles(dir.path).empty());
    std::printf("%d writers killed, %d inside a write (%zu temporary files), every key kept\n",
                round, killsInWrite, leftovers.size());
    EXPECT_GE(killsInWrite, kMinKillsInWrite);
}
