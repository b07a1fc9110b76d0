// One alert's road through the real program: a price from the simulated terminal crosses
// the alert's level, the popup shows it, the e-mail request reaches the local service, the
// log has the lines, and the alert deletes itself after its last firing.
#include "alerts/Actions.h"
#include "alerts/AlertStore.h"
#include "quotes/FXData.h"
#include "settings/AppConfig.h"
#include "settings/DateTime.h"
#include "settings/Log.h"
#include "tests/e2e/HttpProbe.h"
#include "tests/e2e/PriceBarHarness.h"
#include "tests/e2e/SimHarness.h"
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <thread>

using namespace e2e;

namespace {
constexpr int kSymbolLabel = 1094;
constexpr int kPriceLabel = 1096;
constexpr int kMessageEdit = 1063;
constexpr int kServiceRequestNumber = 7;
constexpr Milliseconds kOneTick = kMainTick + kTickSlack;
// Past the refire guard and the tick that finds the alert exhausted.
constexpr Milliseconds kUntilExhaustedAlertIsGone = 5s + 2 * kOneTick;
constexpr Milliseconds kServiceTimeout = 20s;

const char* const kRecipient = "trader+fx@example.com";

std::string AlertSection(const std::string& mode, const std::string& times) {
    return "[EURUSD1]\r\ncurrency=EURUSD\r\nenabled=1\r\ncondition=0\r\nprice=1.3000\r\n"
           "mode=" +
           mode +
           "\r\nsoundfile=\r\nspeaklen=0\r\nspeakname=1\r\ntraymsg=\r\n"
           "alerttimes=" +
           times + "\r\nautodelete=1\r\n";
}

// The notification requests the service has recorded: one map of decoded fields each.
std::vector<std::map<std::string, std::string>> RecordedRequests() {
    MessageProbe probe;
    CHttpReq request;
    std::vector<std::map<std::string, std::string>> requests;
    if (!request.Request(probe.Window(), ServiceUrl("/requests"), "", true, true,
                         kServiceRequestNumber))
        return requests;
    std::istringstream lines(CHttpReq::ResponseText());
    std::string line;
    while (std::getline(lines, line)) {
        std::map<std::string, std::string> fields;
        std::istringstream parts(line);
        std::string part;
        std::getline(parts, part, '\t');
        fields["path"] = part;
        while (std::getline(parts, part, '\t')) {
            const std::size_t equals = part.find('=');
            fields[part.substr(0, equals)] = part.substr(equals + 1);
        }
        requests.push_back(fields);
    }
    return requests;
}

struct Popup {
    HWND window = nullptr;
    std::string symbol, price, message;
};

// The program's notification popups now on the screen.
std::vector<Popup> Popups(DWORD processId) {
    std::vector<Popup> popups;
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId})) {
        Popup popup;
        popup.window = window;
        bool isPopup = false;
        for (const ChildWindow& child : ChildWindows(window)) {
            if (child.id == kSymbolLabel) {
                popup.symbol = child.text;
                isPopup = true;
            } else if (child.id == kPriceLabel) {
                popup.price = child.text;
            } else if (child.id == kMessageEdit) {
                popup.message = child.text;
            }
        }
        if (isPopup)
            popups.push_back(popup);
    }
    return popups;
}

class AlertRoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (ServiceUrl("/").empty())
            FAIL() << "PIPWARDEN_SERVICE is not set: start the service with scripts/lib/service.sh";
        simulator = Simulator::Start("/frozen");
        ASSERT_TRUE(simulator);
        ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.20000 1.20012"));
        requestsBefore = RecordedRequests().size();
    }
    void TearDown() override { CloseMainProgram(program, bar); }

    void StartProgram(const std::string& extraSettings) {
        programPath = install.Path(MainProgramWithLog().target);
        install.WriteSettings("[MAIN]\r\nDisplayCurrency=EURUSD,GBPUSD,\r\nNOTIFYEMAIL=" +
                              std::string(kRecipient) + "\r\n" + extraSettings);
        program = Process::Start(programPath, "\"" + programPath + "\"");
        ASSERT_TRUE(program);
        bar = WaitForBar(program.Id());
        ASSERT_NE(bar, nullptr) << "the price bar did not come up";
        quotes = std::make_unique<RemoteQuoteList>(bar);
        ASSERT_TRUE(*quotes);
        ASSERT_TRUE(WaitUntil([&] { return quotes->Cell(0) == "1.2000"; }, kOneTick));
    }
    std::string Log() { return ReadTextFile(LogFilePath(programPath)); }

    Installation install{{MainProgram(), MainProgramWithLog()}};
    std::unique_ptr<Simulator> simulator;
    std::string programPath;
    Process program;
    HWND bar = nullptr;
    std::unique_ptr<RemoteQuoteList> quotes;
    std::size_t requestsBefore = 0;
};
} // namespace

TEST_F(AlertRoadTest, ACrossedLevelShowsThePopupSendsTheMailAndDeletesTheSpentAlert) {
    install.WriteAlerts(AlertSection("9", "1")); // popup and e-mail, once
    ASSERT_NO_FATAL_FAILURE(StartProgram(""));
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.31000 1.31012"));

    std::vector<Popup> popups;
    ASSERT_TRUE(WaitUntil([&] { return !(popups = Popups(program.Id())).empty(); }, kOneTick))
        << "no popup appeared";
    EXPECT_EQ(popups[0].symbol, "EURUSD");
    EXPECT_EQ(popups[0].price, "1.3100");
    FiredAlert alert;
    alert.kind = kPriceAbove;
    alert.level = "1.3000";
    EXPECT_EQ(popups[0].message, NotifyMessage(alert));
    RECT place{};
    GetWindowRect(popups[0].window, &place);
    EXPECT_EQ(place.bottom, GetSystemMetrics(SM_CYSCREEN) - 30);
    EXPECT_EQ(place.bottom - place.top, 80); // one line of message

    std::vector<std::map<std::string, std::string>> requests;
    ASSERT_TRUE(WaitUntil([&] { return (requests = RecordedRequests()).size() > requestsBefore; },
                          kServiceTimeout))
        << "the e-mail request did not reach the service";
    const auto& mail = requests.back();
    const bool chinese = AppConfig().languageIndex == 1;
    EXPECT_EQ(mail.at("path"), chinese ? "/soft/notify.aspx" : "/func/sendmail.aspx");
    EXPECT_EQ(mail.at("c"), "EURUSD");
    EXPECT_EQ(mail.at("p"), "1.3100");
    EXPECT_EQ(mail.at("r"), kRecipient);
    EXPECT_EQ(mail.at("l"), chinese ? "1" : "0");
    EXPECT_EQ(mail.at("w"), std::to_string(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(mail.at("h"), std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_TRUE(IsValidDateTime(mail.at("t"))) << mail.at("t");

    EXPECT_TRUE(
        WaitUntil([&] { return Log().find("EMAIL:OK ") != std::string::npos; }, kServiceTimeout))
        << Log();
    EXPECT_TRUE(
        WaitUntil([&] { return install.ReadAlerts().find("[EURUSD1]") == std::string::npos; },
                  kUntilExhaustedAlertIsGone))
        << "the spent alert is still in the file:\n"
        << install.ReadAlerts();
    EXPECT_EQ(RecordedRequests().size(), requestsBefore + 1) << "the alert fired again";
}

TEST_F(AlertRoadTest, NothingFiresWhileAllAlertsAreSwitchedOff) {
    const std::string alerts = AlertSection("9", "3");
    install.WriteAlerts(alerts);
    ASSERT_NO_FATAL_FAILURE(StartProgram("disableall=1\r\n"));
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.31000 1.31012"));
    ASSERT_TRUE(WaitUntil([&] { return quotes->Cell(0) == "1.3100"; }, kOneTick));
    // Two more ticks on the crossed price.
    std::this_thread::sleep_for(2 * kMainTick);
    EXPECT_TRUE(Popups(program.Id()).empty());
    EXPECT_EQ(RecordedRequests().size(), requestsBefore);
    EXPECT_EQ(Log().find("EMAIL:"), std::string::npos);
    EXPECT_EQ(install.ReadAlerts(), alerts);
}
