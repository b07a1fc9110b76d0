// A writer of both settings files ended by TerminateProcess at random moments, on the Windows
// file functions: each file stays whole, every key holds its value from before the kill or
// one the writer wrote, and a killed writer's temporary file goes with the next write of its
// file. PIPWARDEN_KILLS sets the count.
#include "Harness.h"
#include "platform/Text.h"
#include "tools/crash/SettingsChurn.h"
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <set>

using namespace e2e;

namespace {
constexpr int kDefaultKills = 60;
// Each writer begins at a random write of its cycle, so short delays meet every write; a
// kill costs mostly the start of a process under Wine (about 0.2 s).
constexpr double kMaxDelayMs = 40;
constexpr int kMinShareInWrite = 20; // at least one kill in twenty lands inside a write

int KillCount() {
    const char* wanted = std::getenv("PIPWARDEN_KILLS");
    return wanted && std::atoi(wanted) > 0 ? std::atoi(wanted) : kDefaultKills;
}

// Sleep is too coarse to spread kills over single writes.
void BusyWait(double milliseconds) {
    LARGE_INTEGER frequency{}, start{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const auto ticks = static_cast<LONGLONG>(milliseconds * frequency.QuadPart / 1000);
    do
        QueryPerformanceCounter(&now);
    while (now.QuadPart - start.QuadPart < ticks);
}
} // namespace

TEST(SettingsCrash, KilledWritersNeverLeaveAHalfWrittenFileOrALostKey) {
    const Installation installation({});
    const std::string folder = installation.Path("file\\");
    churn::Values values;
    churn::Writer(folder).Write(0);
    ASSERT_EQ(churn::ReadFiles(folder, values), "");

    const std::string writer = BuiltProgramsFolder() + "\\settings_writer.exe";
    const std::wstring eventName = L"pw crash writer " + std::to_wstring(GetCurrentProcessId());
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(started, nullptr);
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> delay(0, kMaxDelayMs);
    std::set<std::string> leftovers;
    int killsInWrite = 0; // kills that left a temporary file: the kill landed inside a write
    const int kills = KillCount();
    for (int round = 0; round < kills; ++round) {
        ResetEvent(started);
        Process process =
            Process::Start(writer, "\"" + writer + "\" \"" + folder + "\\\" " +
                                       std::to_string(churn::RoundStart(round)) + " " +
                                       std::to_string(random()) + " \"" + Narrow(eventName) + "\"");
        ASSERT_TRUE(process);
        ASSERT_EQ(WaitForSingleObject(started, 20000), WAIT_OBJECT_0) << "kill " << round;
        BusyWait(delay(random));
        ASSERT_TRUE(process.IsRunning()) << "kill " << round;
        process.End(); // TerminateProcess

        churn::Values now;
        ASSERT_EQ(churn::CheckFiles(folder, values, churn::RoundStart(round), now), "")
            << "kill " << round;
        values = std::move(now);
        const std::vector<std::string> temporary = churn::TemporaryFiles(folder);
        ASSERT_LE(temporary.size(), 2u) << "kill " << round; // one per file at most
        leftovers.insert(temporary.begin(), temporary.end());
        killsInWrite += temporary.empty() ? 0 : 1;
    }
    CloseHandle(started);
    churn::Writer(folder).Write(1);
    EXPECT_TRUE(churn::TemporaryFiles(folder).empty());
    std::printf("%d writers killed, %d inside a write (%zu temporary files), every key kept\n",
                kills, killsInWrite, leftovers.size());
    // Kills that all land between writes would prove nothing.
    EXPECT_GE(killsInWrite * kMinShareInWrite, kills);
}
