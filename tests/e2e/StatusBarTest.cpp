// The terminal's status bar read from this process, as the feed guard reads it once a tick:
// the connection part as the simulated terminal changes it, and what one read costs.
#include "quotes/StatusBarReader.h"
#include "tests/e2e/SimHarness.h"
#include <chrono>
#include <gtest/gtest.h>
#include <iostream>

using namespace e2e;

TEST(StatusBar, ConnectionPartReadAcrossTheProcessBoundary) {
    const auto sim = Simulator::Start("/frozen /account:71000901");
    ASSERT_TRUE(sim);
    Desktop& desktop = PlatformDesktop();
    const auto terminal = reinterpret_cast<WindowHandle>(sim->Window());
    StatusBarReader reader;
    EXPECT_EQ(reader.Read(desktop, terminal),
              "Connected: 1240/3 kb | Default | For Help, press F1 | 1234/5 kb");

    for (const std::string text : {"No connection", "无效账户", "Common error"}) {
        ASSERT_TRUE(sim->SetConnectionStatus(text));
        const std::optional<std::string> status = reader.Read(desktop, terminal);
        ASSERT_TRUE(status) << text;
        EXPECT_EQ(DisconnectedStatusPart(*status), text);
    }

    ASSERT_TRUE(sim->SetConnectionStatus(""));
    constexpr int kReads = 50;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kReads; ++i) {
        const std::optional<std::string> status = reader.Read(desktop, terminal);
        ASSERT_TRUE(status);
        ASSERT_FALSE(StatusMeansDisconnected(*status)) << *status;
    }
    const auto each = (std::chrono::steady_clock::now() - start) / kReads;
    std::cout << "[ cost     ] one status bar read "
              << std::chrono::duration<double, std::micro>(each).count() << " us\n";
    EXPECT_TRUE(sim->Quit());
}
