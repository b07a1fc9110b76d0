#include "FakeDesktop.h"
#include "quotes/MTHandler.h"
#include "settings/Config.h"
#include "settings/LangTable.h"

namespace {
const std::string kProgram = "C:\\Program Files\\MT4 Demo\\terminal.exe";

class AttachTest : public ReaderTest {
protected:
    WindowHandle AddWorkingTerminal(const std::string& title,
                                    std::uint32_t process = kTerminalProcess) {
        const WindowHandle terminal = desk.AddTerminal(title, process);
        desk.AddList(desk.AddChild(terminal, "#32770", "Market Watch: 10:15:02"),
                     {{"EURUSD", "1.08512", "1.08527"}});
        return terminal;
    }
    void InstallProgram() {
        files.files[kProgram] = "MZ";
        Config().Set("MTPATH", kProgram);
    }
};

TEST_F(AttachTest, TerminalSelectionByTitle) {
    CMTHandler reader(desk);
    desk.AddTopLevel("Notepad", "MetaQuotes::MetaTrader notes");
    desk.AddTerminal("11111111: Alpha Markets - Demo");
    desk.AddTerminal("22222222: Beta Markets - Demo Account");
    EXPECT_EQ(reader.EnumTerminals(),
              "11111111: Alpha Markets - Demo#22222222: Beta Markets - Demo Account#");
    EXPECT_EQ(reader.SelectedTerminal(), -1);

    Config().Set("MTSource", "Markets - Demo"); // in both titles: the later wins
    reader.EnumTerminals();
    EXPECT_EQ(reader.SelectedTerminal(), 1);
    Config().Set("MTSource", "11111111: Alpha Mark (only 20 characters count)");
    reader.EnumTerminals();
    EXPECT_EQ(reader.SelectedTerminal(), 0);

    // Without a match the earlier choice stays with its terminal, and goes with it.
    Config().Set("MTSource", "nothing like it");
    const WindowHandle third = desk.AddTerminal("33333333: Gamma - Live");
    std::rotate(desk.topLevel.begin(), desk.topLevel.end() - 1, desk.topLevel.end());
    reader.EnumTerminals();
    EXPECT_EQ(reader.SelectedTerminal(), 1);
    desk.Destroy(desk.topLevel[2]);
    reader.EnumTerminals();
    EXPECT_EQ(reader.SelectedTerminal(), -1);
    desk.Destroy(third); // a lone terminal is always the one
    EXPECT_TRUE(reader.IsTerminalRunning());
    EXPECT_EQ(reader.SelectedTerminal(), 0);
}

TEST_F(AttachTest, EnumerationLimits) {
    CMTHandler reader(desk);
    for (int i = 0; i < 1000; ++i)
        desk.AddTopLevel("Button", "x");
    desk.AddTerminal(std::string(130, 'T'));
    EXPECT_FALSE(reader.IsTerminalRunning()); // beyond the first thousand windows
    desk.topLevel.erase(desk.topLevel.begin());
    EXPECT_EQ(reader.EnumTerminals(), std::string(127, 'T') + "#");
}

TEST_F(AttachTest, AttachesOnceAndNeverStartsAfterwards) {
    CMTHandler reader(desk);
    const WindowHandle terminal = AddWorkingTerminal("12345678: Demo Broker - Demo Account");
    EXPECT_EQ(reader.Attach(true), kAttachOk);
    EXPECT_FALSE(reader.IsStartAllowed());
    const int enumerations = desk.enumerations;
    EXPECT_EQ(reader.Attach(true), kAttachOk);
    EXPECT_EQ(desk.enumerations, enumerations);

    InstallProgram();
    desk.Destroy(terminal);
    EXPECT_EQ(reader.Attach(true), kAttachStartNotAllowed);
    EXPECT_TRUE(desk.started.empty());
    EXPECT_TRUE(questions.empty());
}

TEST_F(AttachTest, FailuresBeforeAnyTerminalRuns) {
    EXPECT_EQ(CMTHandler(desk).Attach(true), kAttachNoTerminalNoProgram);
    InstallProgram();
    EXPECT_EQ(CMTHandler(desk).Attach(false), kAttachTerminalNotRunning); // not asked
    answerOk = false;
    EXPECT_EQ(CMTHandler(desk).Attach(true), kAttachTerminalNotRunning);
    EXPECT_EQ(questions, std::vector<std::string>{GetMessage(0) + "|" + GetMessage(14)});
    EXPECT_TRUE(desk.started.empty());

    desk.startSucceeds = false; // a program that cannot start is not waited for
    answerOk = true;
    EXPECT_EQ(CMTHandler(desk).Attach(true), kAttachTerminalNotRunning);
    EXPECT_EQ(desk.waits, 0);
}

TEST_F(AttachTest, StartedTerminalIsAwaitedAtMostTenSeconds) {
    InstallProgram();
    CMTHandler reader(desk);
    EXPECT_EQ(reader.Attach(true), kAttachTerminalNotRunning);
    EXPECT_EQ(desk.started, std::vector<std::string>{kProgram});
    EXPECT_EQ(desk.enumerations, 2 + 50); // before starting, then the wait
    EXPECT_LE(desk.waitedMs, 10000);
    EXPECT_EQ(desk.waitedMs, desk.waits * 200);
}

TEST_F(AttachTest, StartedTerminalIsTakenWhenItAppears) {
    InstallProgram();
    Config().Set("OPTGENRUNMT4", "1"); // start without asking
    CMTHandler reader(desk);
    desk.onWait = [&] {
        if (desk.waits == 3)
            desk.AddTerminal("12345678: Demo Broker - Demo Account");
        if (desk.waits == 5) // its Market Watch comes a little later
            desk.AddList(desk.AddChild(desk.topLevel[0], "#32770", "Market Watch: 10:15:02"), {});
    };
    EXPECT_EQ(reader.Attach(true), kAttachOk);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(desk.waits, 5);
}

TEST_F(AttachTest, MarketWatchFailuresAndTheirCodes) {
    const WindowHandle terminal = desk.AddTerminal("12345678: Demo Broker - Demo Account");
    EXPECT_EQ(CMTHandler(desk).Attach(true), kAttachNoMarketWatch);
    const WindowHandle clock = desk.AddChild(terminal, "Static", "10:15:02");
    EXPECT_EQ(CMTHandler(desk).Attach(true), kAttachNoListView);
    // The last strategy decides: a Market Watch without a list reads as none at all.
    desk.windows[clock].text = "Market Watch: 10:15:02";
    CMTHandler reader(desk);
    EXPECT_EQ(reader.Attach(true), kAttachNoMarketWatch);
    EXPECT_TRUE(reader.IsStartAllowed());
}

TEST_F(AttachTest, SavedChoiceIsClearedUnlessExactlyOneTerminalRuns) {
    Config().Set("CMTS", "saved");
    const WindowHandle first = AddWorkingTerminal("11111111: Alpha Markets - Demo");
    EXPECT_EQ(CMTHandler(desk).Attach(true), kAttachOk);
    EXPECT_EQ(Config().Get("CMTS"), "saved");
    AddWorkingTerminal("22222222: Beta Markets - Demo", 5151);
    CMTHandler reader(desk);
    EXPECT_EQ(reader.Attach(true), kAttachOk);
    EXPECT_EQ(Config().Get("CMTS"), "");
    EXPECT_EQ(reader.TerminalWindow(), first); // none chosen: the first
}
} // namespace
