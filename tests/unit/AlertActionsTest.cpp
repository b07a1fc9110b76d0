#include "AlertTestWorld.h"
#include "alerts/Actions.h"
#include "settings/LangTable.h"

namespace {
FiredAlert Firing(int kind) {
    FiredAlert alert;
    alert.kind = kind;
    alert.symbol = "EURUSD";
    alert.price = "1.3005";
    alert.level = "1.3000";
    alert.diffpips = "20";
    alert.intervalmins = "15";
    alert.hour = "14";
    alert.minute = "30";
    alert.startcon = "-1";
    alert.speaklen = "0";
    alert.speakname = "0";
    alert.soundfile = "C:\\Media\\ding.wav";
    return alert;
}

class AlertActions : public AlertWorld {
protected:
    NotifyServices Services() {
        NotifyServices services;
        services.openPopup = [this](const std::string& symbol, const std::string& price,
                                    const std::string& message) {
            events.push_back("popup:" + symbol + "|" + price + "|" + message);
        };
        services.pumpMessages = [this] { events.push_back("pump"); };
        services.sendEmail = [this](const std::string& url) { events.push_back("email:" + url); };
        auto record = [this](const char* how) {
            return [this, how](const AlertNotice& n) {
                events.push_back(std::string(how) + n.symbol + "|" + n.price + "|" + n.condition +
                                 "|" + n.message + "|" + n.timeText);
            };
        };
        services.sendMail = record("mail:");
        services.sendPhone = record("phone:");
        services.screenWidth = 1600;
        services.screenHeight = 900;
        return services;
    }
};
} // namespace

TEST_F(AlertActions, DefaultMessageSaysTheCondition) {
    const std::string indent = "       Conditions:  ";
    EXPECT_EQ(NotifyMessage(Firing(0)), indent + "\"Price>1.3000\"");
    EXPECT_EQ(NotifyMessage(Firing(1)), indent + "\"Price<1.3000\"");
    EXPECT_EQ(NotifyMessage(Firing(2)), indent + "\"Every 20 pips\"");
    FiredAlert step = Firing(2);
    step.startcon = "0";
    step.startpips = "1.2500";
    EXPECT_EQ(ConditionText(step), "Every 20 pips,>1.2500");
    step.startcon = "1";
    EXPECT_EQ(ConditionText(step), "Every 20 pips,<1.2500");
    FiredAlert minutes = Firing(3);
    minutes.startpips = "1.1"; // a stale start price shows as well
    EXPECT_EQ(ConditionText(minutes), "Every 15 Minute,<1.1");
    FiredAlert time = Firing(4);
    EXPECT_EQ(ConditionText(time), "Local Time = 14:30");
    time.hour = "-1";
    time.date = "2026-12-08";
    EXPECT_EQ(ConditionText(time), "2026-12-08 Any:30");
    EXPECT_EQ(NotifyMessage(Firing(9)), indent + "\"\"");

    FiredAlert own = Firing(0);
    own.traymsg = "first@#@second";
    EXPECT_EQ(NotifyMessage(own), "first\r\nsecond");

    app.languageIndex = kLangChinese;
    EXPECT_EQ(NotifyMessage(Firing(0)),
              "       " + GetText(18) + ":  \"" + GetText(38) + ">1.3000\"");
    EXPECT_NE(GetText(38), "Price");
}

TEST_F(AlertActions, AllActionsRunInTheirOrder) {
    Config().Set("NOTIFYEMAIL", "trader@example.com");
    app.emailServicePath = "/func/sendmail.aspx?sn=3&la={1}";
    FiredAlert alert = Firing(0);
    alert.mode = kActionPopup | kActionVoice | kActionSound | kActionEmail;
    alert.price = "1.5";
    clock.Set("2026-12-08 14:30:05");
    ShowNotify(alert, Services());
    const std::string voice = "C:\\pw\\file\\data\\enf\\";
    const std::vector<std::string> expected = {
        "popup:EURUSD|1.5|       Conditions:  \"Price>1.3000\"",
        "sync:" + voice + "EOSNWE.MTQ",
        "pump",
        "sync:" + voice + "EESPWS.MTQ",
        "pump",
        "sync:" + voice + "EFSIWV.MTQ",
        "pump",
        "async:C:\\Media\\ding.wav",
        "email:http://" + app.serviceAddress +
            "/func/sendmail.aspx?c=EURUSD&p=1.5&r=trader%40example.com&l=0&w=1600&h=900"
            "&t=2026-12-08%2014%3A30%3A05"};
    EXPECT_EQ(events, expected);
}

TEST_F(AlertActions, EachBitAlone) {
    FiredAlert alert = Firing(0);
    alert.mode = kActionSound;
    ShowNotify(alert, Services());
    EXPECT_EQ(events, std::vector<std::string>{"async:C:\\Media\\ding.wav"});

    events.clear();
    alert.mode = kActionEmail; // no recipient: nothing is sent, nothing logged
    ShowNotify(alert, Services());
    EXPECT_TRUE(events.empty());

    alert.mode = 0;
    Config().Set("NOTIFYEMAIL", "x@y");
    ShowNotify(alert, Services());
    EXPECT_TRUE(events.empty());
}

// The user's own server takes the place of the service request; the phone comes last and
// needs no recipient.
TEST_F(AlertActions, OwnMailServerAndPhone) {
    FiredAlert alert = Firing(0);
    alert.mode = kActionPopup | kActionEmail | kActionPhone;
    alert.traymsg = "take@#@profit";
    clock.Set("2026-12-08 14:30:05");
    Config().Set("NOTIFYEMAIL", "trader@example.com");
    Config().Set("MAILROUTE", "1");
    ShowNotify(alert, Services());
    const std::string said = "EURUSD|1.3005|Price>1.3000|take\r\nprofit|2026-12-08 14:30:05";
    EXPECT_EQ(events, (std::vector<std::string>{
                          "popup:EURUSD|1.3005|take\r\nprofit", "mail:" + said, "phone:" + said}));

    events.clear();
    Config().Set("NOTIFYEMAIL", "");
    alert.mode = kActionEmail | kActionPhone;
    alert.traymsg.clear();
    ShowNotify(alert, Services());
    EXPECT_EQ(events, std::vector<std::string>{
                          "phone:EURUSD|1.3005|Price>1.3000|Price>1.3000|2026-12-08 14:30:05"});
}

TEST(AlertEmail, ValuesAreEncodedAndThePathTemplateIsDropped) {
    const std::string url =
        EmailRequestUrl("127.0.0.1:8765", "/soft/notify.aspx?sn=3&la={1}", "XAU/USD", "1200.5",
                        "a+b&c@d.com", 1, 1024, 768, "2026-12-08 09:05:00");
    EXPECT_EQ(url, "http://127.0.0.1:8765/soft/notify.aspx?c=XAU%2FUSD&p=1200.5"
                   "&r=a%2Bb%26c%40d.com&l=1&w=1024&h=768&t=2026-12-08%2009%3A05%3A00");
    EXPECT_EQ(EmailRequestUrl("https://mail.test", "/func/sendmail.aspx", "EURUSD", "1.1", "r", 0,
                              1, 2, "t"),
              "https://mail.test/func/sendmail.aspx?c=EURUSD&p=1.1&r=r&l=0&w=1&h=2&t=t");
    EXPECT_EQ(PercentEncode("黄金 A-z_0.9~"), "%E9%BB%84%E9%87%91%20A-z_0.9~");
}

TEST(AlertEmail, CompletionLogLine) {
    EXPECT_EQ(EmailLogLine(0, "OK sent"), "EMAIL:OK sent");
    EXPECT_EQ(EmailLogLine(-1, ""), "EMAIL:");
    EXPECT_EQ(EmailLogLine(4, "Not Found"), "EMAIL:ERR:4;Not Found");
    const std::string longAnswer = std::string(399, 'a') + "黄" + "tail";
    EXPECT_EQ(EmailLogLine(0, longAnswer), "EMAIL:" + std::string(399, 'a') + "黄");
}
