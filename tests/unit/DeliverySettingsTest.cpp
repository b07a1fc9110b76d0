#include "delivery/DeliverySettings.h"
#include "AlertTestWorld.h"
#include "delivery/DeliveryCenter.h"
#include "settings/TextIds.h"
#include <condition_variable>
#include <mutex>

namespace {
class DeliverySettingsTest : public AlertWorld {
protected:
    std::string FileText() { return files.files[Config().GetPath()]; }
};
} // namespace

TEST_F(DeliverySettingsTest, SecretsAreKeptProtectedAndReadBack) {
    Config().Set("NOTIFYEMAIL", "trader@example.com");
    SmtpSettings mail{"smtp.example.com",   465, MailSecurity::TlsOnConnect, "trader", "p@ss word",
                      "alerts@example.com", ""};
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

TEST_F(DeliverySettingsTest, UnreadableOrUnprotectableSecretsAreNeverDroppedSilently) {
    const std::string hook = "https://hooks.test/hooks/8f14e45fceea167a5a36dedd4bea2543";
    // An address stored in the clear by an older version still loads; saved, it is protected.
    Config().Set("WEBHOOKURL", hook);
    PhoneSettings phone = LoadPhoneSettings();
    EXPECT_EQ(phone.webhookUrl, hook);
    phone.telegramToken = "123456:ABC-secret-token";
    phone.telegramChat = "-100200";
    EXPECT_TRUE(SavePhoneSettings(phone));
    EXPECT_EQ(FileText().find("8f14e45f"), std::string::npos) << FileText();
    EXPECT_EQ(LoadPhoneSettings().webhookUrl, hook);

    // Protection fails: the values stored before stay, and the caller hears of it.
    const std::string storedToken = Config().Get("TGTOKEN");
    const std::string storedHook = Config().Get("WEBHOOKURLENC");
    phone.telegramToken = "654321:NEW-token";
    phone.webhookUrl = hook + "-new";
    EXPECT_FALSE(SavePhoneSettings(phone, [](const std::string&) { return std::string(); }));
    EXPECT_EQ(Config().Get("TGTOKEN"), storedToken);
    EXPECT_EQ(Config().Get("WEBHOOKURLENC"), storedHook);

    // Stored by another account: each channel fails "enter it again" instead of going quiet,
    // and saving the page unchanged keeps what it could not show.
    Config().Set("TGTOKEN", "dpapi:AAAA");
    Config().Set("WEBHOOKURLENC", "dpapi:BBBB");
    Config().Set("SMTPPASSWORD", "dpapi:CCCC");
    phone = LoadPhoneSettings();
    EXPECT_TRUE(phone.telegramTokenUnreadable && phone.webhookUrlUnreadable);
    EXPECT_EQ(phone.webhookUrl, "");
    EXPECT_TRUE(SavePhoneSettings(phone));
    EXPECT_EQ(Config().Get("TGTOKEN"), "dpapi:AAAA");
    EXPECT_EQ(Config().Get("WEBHOOKURLENC"), "dpapi:BBBB");

    DeliveryCenter center;
    std::mutex mutex;
    std::condition_variable arrived;
    center.SetWake([&] {
        const std::lock_guard<std::mutex> hold(mutex);
        arrived.notify_all();
    });
    center.SendPhone(AlertNotice{"EURUSD", "1.3", "Price>1.3", "", ""});
    center.SendMail(AlertNotice{"EURUSD", "1.3", "Price>1.3", "", ""});
    std::vector<DeliveryOutcome> outcomes;
    std::unique_lock<std::mutex> lock(mutex);
    arrived.wait_for(lock, std::chrono::seconds(5), [&] {
        for (DeliveryOutcome& outcome : center.TakeOutcomes())
            outcomes.push_back(std::move(outcome));
        return outcomes.size() >= 3;
    });
    std::string channels;
    for (const DeliveryOutcome& outcome : outcomes) {
        channels += ChannelName(outcome.channel) + std::string(" ");
        EXPECT_FALSE(outcome.sent);
        EXPECT_NE(outcome.detail.find("enter it again"), std::string::npos) << outcome.detail;
    }
    EXPECT_EQ(outcomes.size(), 3u) << channels;
    // A worker may still be inside the wake, which takes this lock: Stop waits for it.
    lock.unlock();
    center.Stop();
}

TEST(DeliveryRules, PortsProblemsAndConfiguredChannels) {
    for (const auto& [text, port] : std::vector<std::pair<std::string, int>>{{"587", 587},
                                                                             {" 25 ", 25},
                                                                             {"65535", 65535},
                                                                             {"0", 0},
                                                                             {"65536", 0},
                                                                             {"-1", 0},
                                                                             {"12a", 0},
                                                                             {"", 0},
                                                                             {"0000587", 0}})
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
