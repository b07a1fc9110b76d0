#include "delivery/DeliverySettings.h"
#include "platform/Secrets.h"
#include "platform/Text.h"
#include "settings/Config.h"
#include "settings/OptionKeys.h"
#include "settings/TextIds.h"

namespace {
constexpr int kHighestPort = 65535;

// The secret of `key`, "" when none is stored; `unreadable` when one is stored that this
// account cannot read.
std::string ReadSecret(const char* key, bool& unreadable) {
    const std::string stored = Config().Get(key);
    const std::optional<std::string> clear = UnprotectSecret(stored);
    unreadable = !clear.has_value();
    return clear.value_or(std::string());
}

// An empty secret clears the key, unless the stored one was unreadable and so never shown
// (`keepUnreadable`). False, the stored value kept, when the secret cannot be protected.
bool WriteSecret(const char* key, const std::string& clear, bool keepUnreadable,
                 SecretProtector protect) {
    if (clear.empty()) {
        if (!keepUnreadable)
            Config().Set(key, "");
        return true;
    }
    const std::string stored = protect(clear);
    if (stored.empty())
        return false;
    Config().Set(key, stored);
    return true;
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
    settings.password = ReadSecret(deliverykey::kSmtpPassword, settings.passwordUnreadable);
    settings.from = Config().Get(deliverykey::kSmtpFrom);
    settings.to = Config().Get(optkey::kNotifyEmail);
    return settings;
}

bool SaveMailSettings(MailRoute route, const SmtpSettings& settings, SecretProtector protect) {
    Config().Set(deliverykey::kMailRoute, route == MailRoute::OwnServer ? "1" : "0");
    Config().Set(deliverykey::kSmtpServer, settings.server);
    Config().SetInt(deliverykey::kSmtpPort, settings.port);
    Config().SetInt(deliverykey::kSmtpSecurity, static_cast<int>(settings.security));
    Config().Set(deliverykey::kSmtpUser, settings.user);
    Config().Set(deliverykey::kSmtpFrom, settings.from);
    return WriteSecret(deliverykey::kSmtpPassword, settings.password, settings.passwordUnreadable,
                       protect);
}

PhoneSettings LoadPhoneSettings() {
    PhoneSettings settings;
    settings.telegramToken =
        ReadSecret(deliverykey::kTelegramToken, settings.telegramTokenUnreadable);
    settings.telegramChat = Config().Get(deliverykey::kTelegramChat);
    settings.ntfyServer = Config().Get(deliverykey::kNtfyServer);
    settings.ntfyTopic = Config().Get(deliverykey::kNtfyTopic);
    settings.webhookUrl =
        ReadSecret(deliverykey::kWebhookUrlProtected, settings.webhookUrlUnreadable);
    // Written by an older version, in the clear.
    if (settings.webhookUrl.empty() && !settings.webhookUrlUnreadable)
        settings.webhookUrl = Config().Get(deliverykey::kWebhookUrl);
    return settings;
}

bool SavePhoneSettings(const PhoneSettings& settings, SecretProtector protect) {
    Config().Set(deliverykey::kTelegramChat, settings.telegramChat);
    Config().Set(deliverykey::kNtfyServer, settings.ntfyServer);
    Config().Set(deliverykey::kNtfyTopic, settings.ntfyTopic);
    const bool token = WriteSecret(deliverykey::kTelegramToken, settings.telegramToken,
                                   settings.telegramTokenUnreadable, protect);
    const bool webhook = WriteSecret(deliverykey::kWebhookUrlProtected, settings.webhookUrl,
                                     settings.webhookUrlUnreadable, protect);
    // The address in the clear goes once it is stored protected, or emptied.
    if (webhook)
        Config().Set(deliverykey::kWebhookUrl, "");
    return token && webhook;
}

int SmtpSettingsProblem(const SmtpSettings& settings) {
    if (TrimBlanks(settings.server).empty() || TrimBlanks(settings.from).empty())
        return kTextEnterMailServer;
    if (settings.port < 1 || settings.port > kHighestPort)
        return kTextBadPort;
    return 0;
}

std::optional<std::string> UnreadableSecretProblem(DeliveryChannel channel,
                                                   const SmtpSettings& mail,
                                                   const PhoneSettings& phone) {
    const char* what = nullptr;
    switch (channel) {
    case DeliveryChannel::Mail:
        what = mail.passwordUnreadable ? "mail password" : nullptr;
        break;
    case DeliveryChannel::Telegram:
        what = phone.telegramTokenUnreadable && !phone.telegramChat.empty() ? "Telegram bot token"
                                                                            : nullptr;
        break;
    case DeliveryChannel::Webhook:
        what = phone.webhookUrlUnreadable ? "webhook address" : nullptr;
        break;
    case DeliveryChannel::Ntfy:
        break;
    }
    if (!what)
        return std::nullopt;
    return std::string("the stored ") + what +
           " cannot be read on this account (a copied folder or another user): enter it again";
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
