// Mail through the system's sockets and TLS to the local test mail server
// (scripts/lib/smtpd.sh).
#include "delivery/MailChannel.h"
#include "delivery/MailSender.h"
#include "platform/Text.h"
#include "tests/e2e/TestMailServer.h"
#include <gtest/gtest.h>

namespace {
using namespace e2e;
using namespace std::chrono_literals;

constexpr auto kMailArrival = 10s;
const char kHost[] = "localhost"; // the name on the test server's certificate

SmtpSettings Settings(MailSecurity security, const std::string& listener) {
    SmtpSettings settings;
    settings.server = kHost;
    settings.port = MailServerPort(listener);
    settings.security = security;
    settings.user = MailServerUser();
    settings.password = MailServerPassword();
    settings.from = "alerts@localhost";
    settings.to = "trader@localhost";
    return settings;
}

// The price makes the subject, which tells the received mails apart.
AlertNotice Notice(const std::string& price) {
    return {"EURUSD", price, "Price>1.1000", "EURUSD above 1.1000", "2026-03-05 14:07:09"};
}

// The test authority is trusted for the whole program (TestCertificate.h).
class MailTransport : public ::testing::Test {
protected:
    void SetUp() override {
        if (MailServerPort("TLS") == 0 || MailServerAuthority().empty())
            FAIL()
                << "PIPWARDEN_SMTP_* is not set: start the mail server with scripts/lib/smtpd.sh";
    }
};

TEST_F(MailTransport, MailArrivesAsTheUserOverEachSecurity) {
    const struct {
        MailSecurity security;
        const char* listener;
        const char* price;
        bool encrypted;
    } cases[] = {{MailSecurity::StartTls, "starttls", "1.10001", true},
                 {MailSecurity::TlsOnConnect, "tls", "1.10002", true},
                 // Asks for a client certificate; we have none and go on without.
                 {MailSecurity::TlsOnConnect, "clientcert", "1.10005", true},
                 {MailSecurity::None, "plain", "1.10003", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listener);
        const SendResult result =
            SendMailNow(Settings(c.security, ToUpperAscii(c.listener)), Notice(c.price));
        EXPECT_TRUE(result.sent) << result.detail;
        const auto mail = WaitForMail(std::string("Subject: EURUSD ") + c.price, kMailArrival);
        ASSERT_TRUE(mail.has_value());
        EXPECT_EQ(c.listener, mail->listener);
        EXPECT_EQ(MailServerUser(), mail->user);
        EXPECT_EQ(c.encrypted, mail->tls);
        EXPECT_EQ("alerts@localhost", mail->from);
        EXPECT_EQ(std::vector<std::string>{"trader@localhost"}, mail->to);
    }
}

// A server that refuses encoded words in address and id headers takes the mail of a sender
// whose domain alone is 40 characters.
TEST_F(MailTransport, ALongSenderDomainStaysReadableToStrictServers) {
    const std::string from = "alerts@alerts-of-a-quite-long-trading-desk.test";
    SmtpSettings settings = Settings(MailSecurity::None, "PLAIN");
    settings.from = from;
    const SendResult result = SendMailNow(settings, Notice("1.10004"));
    EXPECT_TRUE(result.sent) << result.detail;
    const auto mail = WaitForMail("Subject: EURUSD 1.10004", kMailArrival);
    ASSERT_TRUE(mail.has_value());
    EXPECT_EQ(from, mail->from);
    EXPECT_NE(mail->content.find("From: Pip Warden <" + from + ">\r\n"), std::string::npos)
        << mail->content;
    const std::size_t id = mail->content.find("\r\nMessage-ID: <");
    ASSERT_NE(id, std::string::npos) << mail->content;
    const std::string idLine = mail->content.substr(id, mail->content.find("\r\n", id + 2) - id);
    EXPECT_EQ(idLine.substr(idLine.find('@')), from.substr(from.find('@')) + ">");
}

TEST_F(MailTransport, RefusalsAreFinalWithTheirReason) {
    SmtpSettings wrongPassword = Settings(MailSecurity::StartTls, "STARTTLS");
    wrongPassword.password = "not the password";
    const struct {
        const char* what;
        SmtpSettings settings;
        const char* detail;
    } cases[] = {
        {"password", wrongPassword, "535 5.7.8 Authentication credentials invalid"},
        {"name", Settings(MailSecurity::TlsOnConnect, "WRONGNAME"),
         "the server's certificate is for another name"},
        {"authority", Settings(MailSecurity::TlsOnConnect, "UNTRUSTED"),
         "the server's certificate is not trusted"},
        {"plain port", Settings(MailSecurity::TlsOnConnect, "PLAIN"),
         "the mail server answered without TLS: this port may need STARTTLS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SendResult result = SendMailNow(c.settings, Notice("1.20000"));
        EXPECT_FALSE(result.sent);
        EXPECT_FALSE(result.transient);
        EXPECT_EQ(c.detail, result.detail);
    }
    EXPECT_FALSE(WaitForMail("Subject: EURUSD 1.20000", 0ms));
}

TEST_F(MailTransport, ChannelStateAndFailuresOfTheConnection) {
    std::string error;
    bool transient = false;
    auto channel = OpenMailChannel(kHost, MailServerPort("PLAIN"), false, {}, error, transient);
    ASSERT_TRUE(channel) << error;
    EXPECT_TRUE(channel->Loopback());
    EXPECT_FALSE(channel->Encrypted());
    channel = OpenMailChannel(kHost, MailServerPort("TLS"), true, {}, error, transient);
    ASSERT_TRUE(channel) << error;
    EXPECT_TRUE(channel->Encrypted());

    // A server that greets after 20 s, asked to answer within 1 s.
    MailTimeouts impatient;
    impatient.replyMs = 1000;
    channel = OpenMailChannel(kHost, MailServerPort("SLOW"), false, impatient, error, transient);
    ASSERT_TRUE(channel) << error;
    std::string line;
    EXPECT_FALSE(channel->ReadLine(line));
    EXPECT_EQ("no reply from the mail server within 1 s", channel->LastError());

    // Nothing listens on port 1: refused, worth another try.
    EXPECT_FALSE(OpenMailChannel("127.0.0.1", 1, false, {}, error, transient));
    EXPECT_TRUE(transient) << error;
}

} // namespace
