#include "FakeDesktop.h"
#include "quotes/MTHandler.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"

namespace {
const std::string kInstallKey = "Software\\MetaQuotes Software\\MetaTrader 4|InstallPath";

class TerminalPathTest : public ReaderTest {
protected:
    std::string Found() { return CMTHandler(desk).FindTerminalPath(); }
};

TEST_F(TerminalPathTest, SettingThenRegistryThenProgramFolders) {
    registry.values[kInstallKey] = ""; // not the root of the current drive
    files.files["\\terminal.exe"] = "MZ";
    EXPECT_EQ(Found(), "");

    files.folders["C:\\Program Files"] = {"Common Files", "MetaTrader 4"};
    files.folders["C:\\Program Files (x86)"] = {"Broker MT4"};
    files.folders["D:\\Program Files"] = {"MT4"};
    files.files["D:\\Program Files\\MT4\\terminal.exe"] = "MZ";
    EXPECT_EQ(Found(), "D:\\Program Files\\MT4\\terminal.exe");
    // A 32-bit terminal on 64-bit Windows: right after the drive's own Program Files.
    files.files["C:\\Program Files (x86)\\Broker MT4\\terminal.exe"] = "MZ";
    EXPECT_EQ(Found(), "C:\\Program Files (x86)\\Broker MT4\\terminal.exe");
    files.files["C:\\Program Files\\MetaTrader 4\\terminal.exe"] = "MZ";
    EXPECT_EQ(Found(), "C:\\Program Files\\MetaTrader 4\\terminal.exe");

    registry.values[kInstallKey] = "E:\\Trading\\MT4";
    EXPECT_EQ(Found(), "C:\\Program Files\\MetaTrader 4\\terminal.exe"); // no program there
    files.files["E:\\Trading\\MT4\\terminal.exe"] = "MZ";
    EXPECT_EQ(Found(), "E:\\Trading\\MT4\\terminal.exe");

    // The setting must name a file: a folder or a missing file is passed over.
    files.folders["F:\\MT4"] = {};
    Config().Set("MTPATH", "F:\\MT4");
    EXPECT_EQ(Found(), "E:\\Trading\\MT4\\terminal.exe");
    Config().Set("MTPATH", "F:\\MT4\\terminal.exe");
    EXPECT_EQ(Found(), "E:\\Trading\\MT4\\terminal.exe");
    files.files["F:\\MT4\\terminal.exe"] = "MZ";
    EXPECT_EQ(Found(), "F:\\MT4\\terminal.exe");
}

TEST_F(TerminalPathTest, MarketTimeFileFirstLine) {
    CMTHandler reader(desk);
    EXPECT_EQ(reader.ReadMarketTimeFile(), "");
    files.files["D:\\Program Files\\Foreign exchange\\FXDD - MetaTrader 4\\experts\\files\\"
                "Time.txt"] = "2024.03.05 14:07:09\r\nnext\r\n";
    EXPECT_EQ(reader.ReadMarketTimeFile(), "2024.03.05 14:07:09");
}

class DriveTerminalTest : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        AppConfig().dataSource = kTerminalDataSource;
        Rows rows;
        for (const char* symbol :
             {"EURUSD", "GBPUSD", "USDJPY", "USDCHF", "AUDUSD", "NZDUSD", "USDCAD", "GOLD"})
            rows.push_back({symbol, "1.00000", "1.00010"});
        list = desk.AddList(desk.AddChild(terminal, "#32770", "Market Watch: 10:15:02"), rows);
    }
    void TearDown() override {
        AppConfig().dataSource = savedSource;
        ReaderTest::TearDown();
    }
    int& Mark() { return desk.windows[list].selectionMark; }

    const int savedSource = AppConfig().dataSource;
    WindowHandle terminal = desk.AddTerminal("12345678: Demo Broker - Demo Account");
    WindowHandle list = 0;
};

TEST_F(DriveTerminalTest, OrderWindowFromAboveAndBelow) {
    CMTHandler reader(desk);
    ASSERT_EQ(reader.Attach(false), kAttachOk);
    Mark() = 1;
    const WindowHandle order = desk.AddTopLevel("#32770", "Order");
    reader.OpenOrderWindow("audusd");
    EXPECT_EQ(desk.sentKeys, std::vector<DesktopKey>(3, DesktopKey::Down));
    EXPECT_EQ(desk.waitedMs, 100);
    EXPECT_EQ(desk.closed, std::vector<WindowHandle>{order});
    EXPECT_EQ(desk.foreground, std::vector<WindowHandle>{terminal});
    ASSERT_EQ(desk.postedKeys.size(), 1u);
    EXPECT_EQ(desk.postedKeys[0], std::make_pair(list, DesktopKey::Enter));

    desk.sentKeys.clear();
    const WindowHandle chineseOrder = desk.AddTopLevel("#32770", "定单");
    desk.windows[terminal].visible = false;
    reader.OpenOrderWindow("USDJPY");
    EXPECT_EQ(desk.sentKeys, std::vector<DesktopKey>(2, DesktopKey::Up));
    EXPECT_EQ(desk.closed.back(), chineseOrder);
    EXPECT_TRUE(desk.windows[terminal].visible); // shown, not brought forward
    EXPECT_EQ(desk.foreground.size(), 1u);
    EXPECT_EQ(desk.postedKeys.size(), 2u);
}

TEST_F(DriveTerminalTest, OrderWindowNeedsTheSelectionOnTheRow) {
    CMTHandler reader(desk);
    reader.OpenOrderWindow("EURUSD"); // not attached
    ASSERT_EQ(reader.Attach(false), kAttachOk);
    desk.windows[list].selectionStuck = true;
    reader.OpenOrderWindow("GOLD");
    EXPECT_EQ(desk.sentKeys.size(), 16u); // twice the row count, then it gives up
    reader.OpenOrderWindow("XAGUSD");
    AppConfig().dataSource = kInternetDataSource;
    desk.windows[list].selectionStuck = false;
    reader.OpenOrderWindow("GOLD");
    EXPECT_EQ(desk.sentKeys.size(), 16u);
    EXPECT_TRUE(desk.postedKeys.empty());
}

TEST_F(DriveTerminalTest, ShowHideTogglesEveryTerminal) {
    CMTHandler reader(desk);
    const WindowHandle second = desk.AddTerminal("87654321: Other Broker - Live");
    desk.windows[second].visible = false;
    reader.ShowHideTerminals(); // nothing attached: nothing happens
    EXPECT_TRUE(desk.windows[terminal].visible);
    ASSERT_EQ(reader.Attach(false), kAttachOk);

    reader.ShowHideTerminals();
    EXPECT_FALSE(desk.windows[terminal].visible);
    EXPECT_FALSE(desk.windows[second].visible);
    EXPECT_TRUE(desk.foreground.empty());
    reader.ShowHideTerminals();
    EXPECT_TRUE(desk.windows[terminal].visible);
    EXPECT_TRUE(desk.windows[second].visible);
    EXPECT_EQ(desk.foreground, (std::vector<WindowHandle>{terminal, second}));
}
} // namespace
