// One alert that fires under the real program reaches the trader away from the desk: a mail
// through the local mail server over STARTTLS with the test authority trusted, and a message
// to each phone stand-in of the local service; a mail server that answers late holds up
// neither the popup nor the prices, and a refused password is tried once, not again.
#include "platform/Secrets.h"
#include "platform/Text.h"
#include "settings/AppConfig.h"
#include "settings/Log.h"
#include "settings/TextIds.h"
#include "tests/e2e/HttpProbe.h"
#include "tests/e2e/RunHarness.h"
#include "tests/e2e/TestCertificate.h"
#include "tests/e2e/TestMailServer.h"
#include <gtest/gtest.h>
#include <memory>
#include "settings/LangTable.h"

using namespace e2e;

namespace {
constexpr Milliseconds kOneTick = kMainTick + kTickSlack;
constexpr Milliseconds kDeliveryTimeout = 45s;
const char* const kToken = "4242:phone-token";
const char* const kRecipient = "alert-delivery@example.com"; // marks this test's mail

// The text of a mail's base64 body.
std::string MailBody(const std::string& content) {
    const std::size_t start = content.find("\r\n\r\n");
    std::string encoded = start == std::string::npos ? "" : content.substr(start + 4);
    std::erase_if(encoded, [](char c) { return c == '\r' || c == '\n'; });
    return Base64Decode(encoded).value_or("");
}

std::string DeliverySettings(int port, const std::string& user, const std::string& password) {
    return "[MAIN]\r\nSHOWOPTION=1\r\nDisplayCurrency=,EURUSD,GBPUSD,\r\nFEEDGUARD=0\r\n"
           "NOTIFYEMAIL=" +
           std::string(kRecipient) +
           "\r\nMAILROUTE=1\r\nSMTPSERVER=localhost\r\n"
           "SMTPPORT=" +
           std::to_string(port) + "\r\nSMTPSECURITY=1\r\nSMTPUSER=" + user +
           "\r\nSMTPPASSWORD=" + ProtectSecret(password) +
           "\r\nSMTPFROM=alerts@example.com\r\nTGTOKEN=" + ProtectSecret(kToken) +
           "\r\nTGCHAT=777\r\nNTFYSERVER=" + ServiceUrl("/push/ntfy") +
           "\r\nNTFYTOPIC=pips\r\nWEBHOOKURL=" + ServiceUrl("/push/webhook/desk") + "\r\n";
}

// A level alert with the popup, the e-mail and the phone.
std::string DeliveredAlert() {
    std::string alert = LevelAlert("EURUSD1", "EURUSD", true, "1.3000");
    alert.replace(alert.find("mode=1\r\n"), 8, "mode=25\r\n");
    return alert;
}

class AlertDelivery : public ::testing::Test {
protected:
    void SetUp() override {
        if (ServiceUrl("/").empty() || MailServerPort("STARTTLS") == 0)
            FAIL() << "start the service and the mail server (scripts/lib/service.sh, smtpd.sh)";
        authority = std::make_unique<TrustedAuthority>(MailServerAuthority());
        SetEnvironmentVariableW(L"PIPWARDEN_TELEGRAM_API",
                                Widen(ServiceUrl("/push/telegram")).c_str());
        simulator = Simulator::Start("/frozen");
        ASSERT_TRUE(simulator);
    }
    void TearDown() override {
        CloseMainProgram(program, bar);
        SetEnvironmentVariableW(L"PIPWARDEN_TELEGRAM_API", nullptr);
    }

    void Start(const std::string& settings) {
        ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.20000 1.20012"));
        install.WriteSettings(settings);
        install.WriteAlerts(DeliveredAlert());
        path = install.Path(MainProgramWithLog().target);
        program = Process::Start(path, "\"" + path + "\"");
        ASSERT_TRUE(program);
        bar = WaitForBar(program.Id());
        ASSERT_NE(bar, nullptr);
        quotes = std::make_unique<RemoteQuoteList>(bar);
        ASSERT_TRUE(WaitUntil([&] { return quotes->Cell(0) == "1.2000"; }, kStartTimeout));
    }
    // Crosses the level and waits for the popup, which never waits for a delivery.
    void Fire() {
        ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.31000 1.31012"));
        ASSERT_TRUE(WaitUntil([&] { return !NotifyPopups(program.Id()).empty(); }, kOneTick));
    }
    std::string Log() const { return ReadTextFile(LogFilePath(path)); }
    bool LogHas(const std::string& text, Milliseconds timeout) {
        return WaitUntil([&] { return Log().find(text) != std::string::npos; }, timeout);
    }

    std::unique_ptr<TrustedAuthority> authority;
    std::unique_ptr<Simulator> simulator;
    Installation install{{MainProgram(), MainProgramWithLog()}};
    std::string path;
    Process program;
    HWND bar = nullptr;
    std::unique_ptr<RemoteQuoteList> quotes;
};
} // namespace

TEST_F(AlertDelivery, OneAlertSendsAMailAndAMessageToEachPhoneChannel) {
    ASSERT_NO_FATAL_FAILURE(Start(
        DeliverySettings(MailServerPort("STARTTLS"), MailServerUser(), MailServerPassword())));
    ASSERT_NO_FATAL_FAILURE(Fire());

    const std::optional<ReceivedMail> mail = WaitForMail(kRecipient, kDeliveryTimeout);
    ASSERT_TRUE(mail) << Log();
    EXPECT_TRUE(mail->tls);
    EXPECT_EQ(mail->user, MailServerUser());
    EXPECT_EQ(mail->from, "alerts@example.com");
    EXPECT_EQ(mail->to, std::vector<std::string>{kRecipient});
    // A Chinese subject goes as an encoded word, an English one as it is.
    const char* subject = AppConfig().languageIndex == kLangChinese ? "Subject: =?UTF-8?B?"
                                                                    : "Subject: EURUSD 1.3100";
    EXPECT_NE(mail->content.find(subject), std::string::npos) << mail->content;
    const std::string body = MailBody(mail->content);
    for (const char* part : {"EURUSD", "1.3100", ">1.3000", "Pip Warden"})
        EXPECT_NE(body.find(part), std::string::npos) << part << " missing from\n" << body;

    const std::pair<const char*, std::string> channels[] = {{"telegram", "\"chat_id\":\"777\""},
                                                            {"ntfy", ">1.3000"},
                                                            {"webhook", "\"symbol\":\"EURUSD\""}};
    for (const auto& [channel, expected] : channels) {
        std::string received;
        EXPECT_TRUE(WaitUntil(
            [&] {
                received = FetchText(ServiceUrl(std::string("/push/received?channel=") + channel));
                return received.find(expected) != std::string::npos;
            },
            kDeliveryTimeout))
            << channel << ":\n"
            << received;
    }
    for (const char* line : {"DELIVERY:MAIL:SENT", "DELIVERY:TELEGRAM:SENT", "DELIVERY:NTFY:SENT",
                             "DELIVERY:WEBHOOK:SENT"})
        EXPECT_TRUE(LogHas(line, kDeliveryTimeout)) << line << "\n" << Log();
    const std::string history = install.ReadFile("file\\alerthistory.csv");
    EXPECT_NE(history.find("FIRED"), std::string::npos) << history;
    EXPECT_NE(history.find("SENT"), std::string::npos) << history;
    EXPECT_EQ(Log().find(kToken), std::string::npos) << "a secret reached the log";
    EXPECT_EQ(Log().find(MailServerPassword()), std::string::npos) << "a secret reached the log";
}

// A token saved on another account fails the delivery asking for it again, in the log and
// the history; a webhook address stored protected is read back and used.
TEST_F(AlertDelivery, ASecretThatCannotBeReadIsReportedAndAProtectedAddressIsUsed) {
    const std::string key = "desk-0123456789abcdef";
    std::string settings =
        DeliverySettings(MailServerPort("STARTTLS"), MailServerUser(), MailServerPassword());
    // Each whole line of `name`, as the protected values differ from call to call.
    const auto replace = [&settings](const std::string& name, const std::string& line) {
        const std::size_t at = settings.find("\r\n" + name + "=") + 2;
        settings.replace(at, settings.find("\r\n", at) - at, line);
    };
    replace("TGTOKEN", "TGTOKEN=dpapi:AAAA");
    replace("WEBHOOKURL", "WEBHOOKURLENC=" + ProtectSecret(ServiceUrl("/push/webhook/" + key)));
    ASSERT_NO_FATAL_FAILURE(Start(settings));
    ASSERT_NO_FATAL_FAILURE(Fire());

    EXPECT_TRUE(LogHas("DELIVERY:TELEGRAM:FAILED:1;the stored Telegram bot token cannot be read",
                       kDeliveryTimeout))
        << Log();
    EXPECT_TRUE(LogHas("DELIVERY:WEBHOOK:SENT", kDeliveryTimeout)) << Log();
    const auto history = [&] { return install.ReadFile("file\\alerthistory.csv"); };
    EXPECT_TRUE(WaitUntil([&] { return history().find("enter it again") != std::string::npos; },
                          kDeliveryTimeout))
        << history();
    EXPECT_EQ(Log().find(key), std::string::npos) << "the webhook's key reached the log";
}

TEST_F(AlertDelivery, ALateServerHoldsUpNothingAndAWrongPasswordIsNotTriedAgain) {
    ASSERT_NO_FATAL_FAILURE(
        Start(DeliverySettings(MailServerPort("SLOW"), MailServerUser(), MailServerPassword())));
    ASSERT_NO_FATAL_FAILURE(Fire());
    // The mail server is still silent: the prices go on.
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "GBPUSD 1.41230 1.41245"));
    EXPECT_TRUE(WaitUntil([&] { return quotes->Cell(1) == "1.4123"; }, kOneTick));
    CloseMainProgram(program, bar);

    ASSERT_NO_FATAL_FAILURE(
        Start(DeliverySettings(MailServerPort("STARTTLS"), MailServerUser(), "not-the-password")));
    ASSERT_NO_FATAL_FAILURE(Fire());
    EXPECT_TRUE(LogHas("DELIVERY:MAIL:FAILED:1;", kDeliveryTimeout)) << Log();
    EXPECT_NE(Log().find("535"), std::string::npos) << "the server's answer: " << Log();
}
