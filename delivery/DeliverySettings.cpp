#include "delivery/DeliverySettings.h"
#include "options/OptionKeys.h"
#include "platform/Secrets.h"
#include "platform/Text.h"
#include "settings/Config.h"
#include "settings/TextIds.h"

namespace {
constexpr int kHighestPort = 65535;

std::string ReadSecret(const char* key) {
    const std::string stored = Config().Get(key);
    if (stored.empty())
        return {};
    return UnprotectSecret(stored).value_or(std::string());
}

// An empty secret clears the key; one that cannot be protected is not stored at all.
void WriteSecret(const char* key, const std::string& clear) {
    Config().Set(key, clear.empty() ? std::string() : ProtectSecret(clear));
}

MailSecurity SecurityFrom(const std::string& text) {
    const long long value = LeadingInteger(text);
    if (text.empty() || value < 0 || value > static_cast<long long>(MailSecurity::None))
        return MailSecurity::StartTls;
    return static_cast<MailSecurity>(value);
}
} // namespace

int ParsePort(const std::string& text) {
    const std::string trimmed = TrimBlanks(text);
    if (trimmed.empty() || trimmed.size() > 5 ||
        trimmed.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int port = std::stoi(trimmed);
    return port >= 1 && port <= kHighestPort ? port : 0;
}

MailRoute LoadMailRoute() {
    return Config().Get(deliverykey::kMailRoute) == "1" ? MailRoute::OwnServer : MailRoute::Service;
}

SmtpSettings LoadSmtpSettings() {
    SmtpSettings settings;
    settings.server = Config().Get(deliverykey::kSmtpServer);
    const int port = ParsePort(Config().Get(deliverykey::kSmtpPort));
    settings.port = port ? port : kDefaultSmtpPort;
    settings.security = SecurityFrom(Config().Get(deliverykey::kSmtpSecurity));
    settings.user = Config().Get(deliverykey::kSmtpUser);
    settings.password = ReadSecret(deliverykey::kSmtpPassword);
    settings.from = Config().Get(deliverykey::kSmtpFrom);
    settings.to = Config().Get(optkey::kNotifyEmail);
    return settings;
}

void SaveMailSettings(MailRoute route, const SmtpSettings& settings) {
    Config().Set(deliverykey::kMailRoute, route == MailRoute::OwnServer ? "1" : "0");
    Config().Set(deliverykey::kSmtpServer, settings.server);
    Config().SetInt(deliverykey::kSmtpPort, settings.port);
    Config().SetInt(deliverykey::kSmtpSecurity, static_cast<int>(settings.security));
    Config().Set(deliverykey::kSmtpUser, settings.user);
    WriteSecret(deliverykey::kSmtpPassword, settings.password);
    Config().Set(deliverykey::kSmtpFrom, settings.from);
}

PhoneSettings LoadPhoneSettings() {
    PhoneSettings settings;
    settings.telegramToken = ReadSecret(deliverykey::kTelegramToken);
    settings.telegramChat = Config().Get(deliverykey::kTelegramChat);
    settings.ntfyServer = Config().Get(deliverykey::kNtfyServer);
    settings.ntfyTopic = Config().Get(deliverykey::kNtfyTopic);
    settings.webhookUrl = Config().Get(deliverykey::kWebhookUrl);
    return settings;
}

void SavePhoneSettings(const PhoneSettings& settings) {
    WriteSecret(deliverykey::kTelegramToken, settings.telegramToken);
    Config().Set(deliverykey::kTelegramChat, settings.telegramChat);
    Config().Set(deliverykey::kNtfyServer, settings.ntfyServer);
    Config().Set(deliverykey::kNtfyTopic, settings.ntfyTopic);
    Config().Set(deliverykey::kWebhookUrl, settings.webhookUrl);
}

int SmtpSettingsProblem(const SmtpSettings& settings) {
    if (TrimBlanks(settings.server).empty() || TrimBlanks(settings.from).empty())
        return kTextEnterMailServer;
    if (settings.port < 1 || settings.port > kHighestPort)
        return kTextBadPort;
    return 0;
}

bool ChannelConfigured(DeliveryChannel channel, const PhoneSettings& settings) {
    switch (channel) {
    case DeliveryChannel::Telegram:
        return !settings.telegramToken.empty() && !settings.telegramChat.empty();
    case DeliveryChannel::Ntfy:
        return !settings.ntfyTopic.empty();
    case DeliveryChannel::Webhook:
        return !settings.webhookUrl.empty();
    default:
        return false;
    }
}
