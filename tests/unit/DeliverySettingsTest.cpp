#include "AlertTestWorld.h"
#include "delivery/DeliverySettings.h"
#include "settings/TextIds.h"

namespace {
class DeliverySettingsTest : public AlertWorld {
protected:
    std::string FileText() { return files.files[Config().GetPath()]; }
};
} // namespace

TEST_F(DeliverySettingsTest, SecretsAreKeptProtectedAndReadBack) {
    Config().Set("NOTIFYEMAIL", "trader@example.com");
    SmtpSettings mail{"smtp.example.com", 465, MailSecurity::TlsOnConnect, "trader",
                      "p@ss word", "alerts@example.com", ""};
    SaveMailSettings(MailRoute::OwnServer, mail);
    PhoneSettings phone{"123456:ABC-secret-token", "-100200", "", "pips", "http://hook/x"};
    SavePhoneSettings(phone);
    EXPECT_EQ(FileText().find("p@ss word"), std::string::npos);
    EXPECT_EQ(FileText().find("ABC-secret-token"), std::string::npos);

    EXPECT_EQ(LoadMailRoute(), MailRoute::OwnServer);
    const SmtpSettings read = LoadSmtpSettings();
    EXPECT_EQ(read.server, mail.server);
    EXPECT_EQ(read.port, 465);
    EXPECT_EQ(read.security, MailSecurity::TlsOnConnect);
    EXPECT_EQ(read.password, mail.password);
    EXPECT_EQ(read.to, "trader@example.com");
    EXPECT_EQ(LoadPhoneSettings().telegramToken, phone.telegramToken);

    // Another account's (or a damaged) secret asks again; odd numbers fall back to defaults.
    Config().Set("SMTPPASSWORD", "dpapi:AAAA");
    Config().Set("TGTOKEN", "plain text");
    Config().Set("SMTPSECURITY", "7");
    Config().Set("SMTPPORT", "abc");
    Config().Set("MAILROUTE", "2");
    EXPECT_EQ(LoadSmtpSettings().password, "");
    EXPECT_EQ(LoadPhoneSettings().telegramToken, "");
    EXPECT_EQ(LoadSmtpSettings().security, MailSecurity::StartTls);
    EXPECT_EQ(LoadSmtpSettings().port, kDefaultSmtpPort);
    EXPECT_EQ(LoadMailRoute(), MailRoute::Service);

    // An emptied secret clears its key.
    mail.password.clear();
    SaveMailSettings(MailRoute::Service, mail);
    EXPECT_EQ(Config().Get("SMTPPASSWORD"), "");
}

TEST(DeliveryRules, PortsProblemsAndConfiguredChannels) {
    for (const auto& [text, port] : std::vector<std::pair<std::string, int>>{
             {"587", 587}, {" 25 ", 25}, {"65535", 65535}, {"0", 0}, {"65536", 0}, {"-1", 0},
             {"12a", 0}, {"", 0}, {"0000587", 0}})
        EXPECT_EQ(ParsePort(text), port) << text;

    SmtpSettings mail{"smtp.example.com", 587, MailSecurity::StartTls, "", "", "a@b.c", "x@y.z"};
    EXPECT_EQ(SmtpSettingsProblem(mail), 0);
    mail.port = 0;
    EXPECT_EQ(SmtpSettingsProblem(mail), kTextBadPort);
    mail.from = " ";
    EXPECT_EQ(SmtpSettingsProblem(mail), kTextEnterMailServer);

    const PhoneSettings phone{"token", "", "", "topic", ""};
    EXPECT_FALSE(ChannelConfigured(DeliveryChannel::Telegram, phone)); // no chat id
    EXPECT_TRUE(ChannelConfigured(DeliveryChannel::Ntfy, phone));
    EXPECT_FALSE(ChannelConfigured(DeliveryChannel::Webhook, phone));
    EXPECT_FALSE(ChannelConfigured(DeliveryChannel::Mail, phone));
}
