// Phone notices over WinINet to the local service's stand-ins (scripts/lib/service.sh),
// and secrets kept with DPAPI under this account.
#include "delivery/PushRequests.h"
#include "platform/Secrets.h"
#include "platform/Text.h"
#include "tests/e2e/HttpProbe.h"
#include "tests/e2e/TestCertificate.h"
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
using e2e::FetchText;
using e2e::ServiceUrl;

// What the service recorded of the request to `path`: its headers, an empty line, the body.
std::string Received(const std::string& channel, const std::string& path) {
    const std::string all = FetchText(ServiceUrl("/push/received?channel=" + channel));
    std::size_t at = all.find(" " + path + "\n");
    if (at == std::string::npos)
        return "";
    at += path.size() + 2;
    return all.substr(at, all.find("\n----- ", at) - at);
}

AlertNotice Notice() {
    return {"黄金", "1912.35", "Price>1900", "Gold \"breaks\" out\n第二行 \\ end",
            "2024-01-02 10:32"};
}

class Push : public ::testing::Test {
protected:
    void SetUp() override {
        if (ServiceUrl("/").empty())
            FAIL() << "PIPWARDEN_SERVICE is not set: start the service with scripts/lib/service.sh";
        _putenv_s(kTelegramApiVariable, ServiceUrl("/push/telegram").c_str());
        _putenv_s(kNtfyServerVariable, ServiceUrl("/push/ntfy").c_str());
        // Names of their own, so that a second run against the same service finds its own.
        const std::string run = std::to_string(GetTickCount());
        phone.telegramToken = "4242:e2e-" + run;
        phone.telegramChat = "-100" + run;
        phone.ntfyTopic = "pw_e2e_" + run;
        phone.webhookUrl = ServiceUrl("/push/webhook/e2e" + run);
    }
    void TearDown() override {
        _putenv_s(kTelegramApiVariable, "");
        _putenv_s(kNtfyServerVariable, "");
    }

    PhoneSettings phone;
};

TEST_F(Push, EachChannelArrivesWithItsBodyAndHeaders) {
    const std::string telegramPath = "/push/telegram/bot" + phone.telegramToken + "/sendMessage";
    const struct {
        DeliveryChannel channel;
        const char* name;
        std::string path;
    } cases[] = {
        {DeliveryChannel::Telegram, "telegram", telegramPath},
        {DeliveryChannel::Ntfy, "ntfy", "/push/ntfy/" + phone.ntfyTopic},
        {DeliveryChannel::Webhook, "webhook",
         phone.webhookUrl.substr(phone.webhookUrl.find("/push/"))},
    };
    for (const auto& test : cases) {
        const SendResult result = SendPush(test.channel, phone, Notice());
        EXPECT_TRUE(result.sent) << test.name << ": " << result.detail;
        EXPECT_EQ("HTTP 200", result.detail);
        const PushRequest request = MakePushRequest(test.channel, phone, Notice());
        const std::string received = Received(test.name, test.path);
        const std::size_t bodyAt = received.find("\n\n");
        ASSERT_NE(std::string::npos, bodyAt) << test.name;
        EXPECT_EQ(request.body + "\n", received.substr(bodyAt + 2)) << test.name;
        const std::string headers = received.substr(0, bodyAt + 1);
        EXPECT_NE(std::string::npos, headers.find("Content-Type: " + request.contentType + "\n"))
            << headers;
        EXPECT_NE(std::string::npos, headers.find("User-Agent: Pip Warden\n")) << headers;
        for (const std::string& line : request.headers)
            EXPECT_NE(std::string::npos, headers.find(line + "\n")) << headers;
    }
}

TEST_F(Push, RefusalsAreFinalAndTroubleIsTriedAgain) {
    PhoneSettings refused = phone;
    refused.telegramToken = "bad";
    const SendResult unauthorized = SendPush(DeliveryChannel::Telegram, refused, Notice());
    EXPECT_FALSE(unauthorized.sent);
    EXPECT_FALSE(unauthorized.transient);
    EXPECT_EQ("HTTP 401 Unauthorized", unauthorized.detail);

    const struct {
        std::string url;
        bool transient;
        const char* detail;
    } cases[] = {
        {ServiceUrl("/push/webhook/status503"), true, "HTTP 503 answer of status 503 second line"},
        {ServiceUrl("/push/webhook/status404"), false, "HTTP 404 answer of status 404 second line"},
        {"http://127.0.0.1:1/nobody-listens", true, "no connection"},
    };
    for (const auto& test : cases) {
        PhoneSettings hook = phone;
        hook.webhookUrl = test.url;
        const DWORD started = GetTickCount();
        const SendResult result = SendPush(DeliveryChannel::Webhook, hook, Notice());
        EXPECT_FALSE(result.sent);
        EXPECT_EQ(test.transient, result.transient) << test.detail;
        EXPECT_EQ(test.detail, result.detail);
        EXPECT_LT(GetTickCount() - started, 15000u) << test.detail;
    }
}

// The https:// path (INTERNET_FLAG_SECURE): delivered once the service's certificate is
// trusted, refused under a name the certificate does not hold. Trusted first: Wine's WinINet
// keeps a host's failed certificate check for the rest of the process.
TEST_F(Push, OverTlsOnlyToTheNameOnATrustedCertificate) {
    const char* tls = std::getenv("PIPWARDEN_SERVICE_TLS");
    const char* certificate = std::getenv("PIPWARDEN_SERVICE_CA");
    if (!tls || !certificate)
        FAIL() << "PIPWARDEN_SERVICE_TLS is not set: the service runs without TLS (no openssl?)";
    e2e::TrustedAuthority trusted(certificate);
    const std::string port = std::string(tls).substr(std::string(tls).find(':'));
    _putenv_s(kTelegramApiVariable, ("https://localhost" + port + "/push/telegram").c_str());
    const SendResult result = SendPush(DeliveryChannel::Telegram, phone, Notice());
    EXPECT_TRUE(result.sent) << result.detail;
    const std::string received =
        Received("telegram", "/push/telegram/bot" + phone.telegramToken + "/sendMessage");
    const std::string body = MakePushRequest(DeliveryChannel::Telegram, phone, Notice()).body;
    EXPECT_EQ("\n\n" + body + "\n", received.substr(received.find("\n\n")));

    _putenv_s(kTelegramApiVariable, ("https://127.0.0.1" + port + "/push/telegram").c_str());
    const SendResult otherName = SendPush(DeliveryChannel::Telegram, phone, Notice());
    EXPECT_FALSE(otherName.sent);
    EXPECT_FALSE(otherName.transient);
    EXPECT_EQ("the server's certificate was refused", otherName.detail);
}

TEST(Secrets, DpapiRoundTripUnderThisAccountAndNothingFromGarbage) {
    for (const std::string clear : {"Green-Pips-42", "pässwörd 密码", "4242:e2e-token"}) {
        const std::string stored = ProtectSecret(clear);
        ASSERT_EQ(0u, stored.rfind("dpapi:", 0)) << stored;
        EXPECT_EQ(std::string::npos, stored.find(clear));
        EXPECT_EQ(std::string::npos, stored.find(Base64Encode(clear)));
        EXPECT_EQ(clear, UnprotectSecret(stored));
    }
    const std::string sealed = ProtectSecret("Green-Pips-42");
    std::string tampered = *Base64Decode(sealed.substr(6));
    tampered.back() ^= 0x5A; // the signature at the end
    for (const std::string& garbage :
         {std::string("Green-Pips-42"), std::string("dpapi:not base64!"),
          "dpapi:" + Base64Encode("sixteen random b"), "dpapi:" + Base64Encode(tampered),
          "rev64:" + Base64Encode("24-spiP-neerG")})
        EXPECT_FALSE(UnprotectSecret(garbage).has_value()) << garbage;
}
} // namespace
