#pragma once
// Where the mail and phone settings live in the main settings file, and how the secrets among
// them are kept: encrypted for the current user, never in the clear.
#include "delivery/Delivery.h"
#include "platform/Secrets.h"
#include <optional>
#include <string>

namespace deliverykey {
inline constexpr const char* kMailRoute = "MAILROUTE"; // "1": my mail server
inline constexpr const char* kSmtpServer = "SMTPSERVER";
inline constexpr const char* kSmtpPort = "SMTPPORT";
inline constexpr const char* kSmtpSecurity = "SMTPSECURITY"; // MailSecurity as a number
inline constexpr const char* kSmtpUser = "SMTPUSER";
inline constexpr const char* kSmtpPassword = "SMTPPASSWORD"; // protected
inline constexpr const char* kSmtpFrom = "SMTPFROM";
inline constexpr const char* kTelegramToken = "TGTOKEN"; // protected
inline constexpr const char* kTelegramChat = "TGCHAT";
inline constexpr const char* kNtfyServer = "NTFYSERVER";
inline constexpr const char* kNtfyTopic = "NTFYTOPIC";
inline constexpr const char* kWebhookUrl = "WEBHOOKURL"; // in the clear: read, then cleared
inline constexpr const char* kWebhookUrlProtected = "WEBHOOKURLENC";
} // namespace deliverykey

inline constexpr int kDefaultSmtpPort = 587;

// Turns a secret into its stored form; "" when it cannot.
using SecretProtector = std::string (*)(const std::string& clear);

MailRoute LoadMailRoute();
// The recipient is the e-mail page's address. A password stored on another account (or
// damaged) reads as empty and is marked unreadable, so the user is asked for it again.
SmtpSettings LoadSmtpSettings();
// False when a secret could not be protected: the one stored before is kept.
bool SaveMailSettings(MailRoute route, const SmtpSettings& settings,
                      SecretProtector protect = ProtectSecret);
PhoneSettings LoadPhoneSettings();
bool SavePhoneSettings(const PhoneSettings& settings, SecretProtector protect = ProtectSecret);

// Why a channel whose stored secret cannot be read on this account cannot send ("enter it
// again"); nothing when its secret is readable or the channel is off anyway.
std::optional<std::string> UnreadableSecretProblem(DeliveryChannel channel,
                                                   const SmtpSettings& mail,
                                                   const PhoneSettings& phone);

// The port as typed: 1..65535, else 0.
int ParsePort(const std::string& text);
// The text id of what is missing or wrong for sending through the user's server; 0 when fine.
int SmtpSettingsProblem(const SmtpSettings& settings);
// The phone channels that have what they need.
bool ChannelConfigured(DeliveryChannel channel, const PhoneSettings& settings);
