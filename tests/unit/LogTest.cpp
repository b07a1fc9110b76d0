#include "settings/Log.h"
#include "FakeFiles.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {
class TickClock final : public Clock {
public:
    std::uint32_t ticks = 1000000;
    LocalTime Now() const override { return {2024, 3, 5, 14, 7, 9, 0}; }
    std::uint32_t TickCount() const override { return ticks; }
};

const std::string kStamp = "2024-03-05 14:07:09 ";
const std::string kTooLarge(2048001, 'x');

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { SetCurrentClock(&clock); }
    void TearDown() override {
        SetCurrentClock(nullptr);
        SetFiles(nullptr);
    }

    TickClock clock;
};

class MemoryLogTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        SetFiles(&files);
    }

    FakeFiles files;
    std::string programPath = "C:\\x\\Pipwarden_LOG.EXE";
    CCommon log{[this] { return programPath; }};
};
} // namespace

TEST_F(MemoryLogTest, UpperCaseMarkerEnablesForTheRestOfTheRun) {
    log.WriteLog("DlgQuote.Time.EX.MDF\r\n");
    programPath = "C:\\x\\Pipwarden.exe";
    log.WriteLog("two\r\nlines\n\n");
    EXPECT_EQ(log.LogPath(), "C:\\x\\cxPipwarden_LOG.lsg");
    EXPECT_EQ(files.files[log.LogPath()],
              kStamp + "DlgQuote.Time.EX.MDF\r\n" + kStamp + "two\r\nlines\r\n");
    EXPECT_EQ(files.files.size(), 1u);
}

TEST_F(MemoryLogTest, WritesNothingWithoutMarkerOrText) {
    for (const char* path : {"C:\\x\\Pipwarden.exe", "_log.exe", "C:\\x\\Pipwarden_log.ex"}) {
        CCommon other([path] { return std::string(path); });
        other.WriteLog("text");
        EXPECT_FALSE(other.Enabled()) << path;
    }
    log.WriteLog("\r\n\r\n");
    log.WriteLog("");
    EXPECT_TRUE(log.Enabled());
    EXPECT_TRUE(files.files.empty());
}

TEST(LogFilePath, TagFromFolderAndNameFromProgram) {
    EXPECT_EQ(LogFilePath("C:\\Program Files (x86)\\Pip Warden\\file\\Pip Warden_log.exe"),
              "C:\\Program Files (x86)\\Pip Warden\\file\\amfilespipwardenfilePipWarden_log.lsg");
    EXPECT_EQ(LogFilePath("D:\\{a}[b]-c_d\\p_log.EXE"), "D:\\{a}[b]-c_d\\dabcdp_log.lsg");
    EXPECT_EQ(LogFilePath("/tmp/xyz/Pipwarden_log.exe"), "/tmp/xyz/tmpxyzPipwarden_log.lsg");
    // The tag keeps whole characters of a non-ASCII folder.
    std::string folder = "D:\\", tag;
    for (int i = 0; i < 25; ++i)
        folder += "交";
    for (int i = 0; i < 20; ++i)
        tag += "交";
    EXPECT_EQ(LogFilePath(folder + "\\p_log.exe"), folder + "\\" + tag + "p_log.lsg");
}

TEST_F(MemoryLogTest, SizeIsCheckedAtMostEveryFiveMinutes) {
    clock.ticks = 0xFFFFFF00u;
    log.WriteLog("a"); // first check, file missing: time noted
    const std::string path = log.LogPath();
    files.files[path] = kTooLarge;
    clock.ticks = kLogSizeCheckIntervalMs - 256; // across the wrap, exactly five minutes later
    log.WriteLog("b");
    EXPECT_EQ(files.deletions, 0);

    files.files[path] = std::string(2048000, 'x'); // at the limit: kept, time noted
    clock.ticks += 1;
    log.WriteLog("c");
    files.files[path] = kTooLarge;
    clock.ticks += kLogSizeCheckIntervalMs;
    log.WriteLog("d");
    EXPECT_EQ(files.deletions, 0);

    clock.ticks += 1;
    log.WriteLog("e");
    EXPECT_EQ(files.deletions, 1);
    EXPECT_EQ(files.files[path], kStamp + "e\r\n");
}

TEST_F(MemoryLogTest, FailedDeletionIsRetriedOnTheNextLine) {
    log.WriteLog("a");
    const std::string path = log.LogPath();
    files.files[path] = kTooLarge;
    files.deleteFails = true;
    clock.ticks += kLogSizeCheckIntervalMs + 1;
    log.WriteLog("b");
    EXPECT_EQ(files.files[path], kTooLarge + kStamp + "b\r\n");

    files.deleteFails = false;
    clock.ticks += 10;
    log.WriteLog("c");
    EXPECT_EQ(files.deletions, 2);
    EXPECT_EQ(files.files[path], kStamp + "c\r\n");
}

TEST_F(LogTest, TooLargeFileOnDiskStartsAfresh) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("pw_log_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string programPath = (folder / "Pipwarden_log.exe").string();
    CCommon log([programPath] { return programPath; });
    log.WriteLog("DlgQuote.ChkNotify.EX.ISDP");
    const std::string logPath = log.LogPath();
    ASSERT_EQ(std::filesystem::path(logPath).parent_path(), folder);
    std::ofstream(logPath, std::ios::binary | std::ios::app) << kTooLarge;

    clock.ticks += kLogSizeCheckIntervalMs + 1;
    log.WriteLog("again");
    std::stringstream content;
    content << std::ifstream(logPath, std::ios::binary).rdbuf();
    std::filesystem::remove_all(folder);
    EXPECT_EQ(content.str(), kStamp + "again\r\n");
}
