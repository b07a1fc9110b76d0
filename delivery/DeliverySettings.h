#pragma once
// Where the mail and phone settings live in the main settings file, and how the secrets among
// them are kept: encrypted for the current user, never in the clear.
#include "delivery/Delivery.h"
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
inline constexpr const char* kWebhookUrl = "WEBHOOKURL";
} // namespace deliverykey

inline constexpr int kDefaultSmtpPort = 587;

MailRoute LoadMailRoute();
// The recipient is the e-mail page's address. A password stored on another account (or
// damaged) reads as empty, so the user is asked for it again.
SmtpSettings LoadSmtpSettings();
void SaveMailSettings(MailRoute route, const SmtpSettings& settings);
PhoneSettings LoadPhoneSettings();
void SavePhoneSettings(const PhoneSettings& settings);

// The port as typed: 1..65535, else 0.
int ParsePort(const std::string& text);
// The text id of what is missing or wrong for sending through the user's server; 0 when fine.
int SmtpSettingsProblem(const SmtpSettings& settings);
// The phone channels that have what they need.
bool ChannelConfigured(DeliveryChannel channel, const PhoneSettings& settings);
