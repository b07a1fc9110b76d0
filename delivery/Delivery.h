#pragma once
// Notices that leave the machine: e-mail through the user's own mail server and messages to
// the phone (Telegram, ntfy, a webhook). Shared by the senders, the queue that runs them on
// workers and the windows that configure and test them.
#include <cstdint>
#include <string>

// What an alert (or a test button) says, in every channel's own form later.
struct AlertNotice {
    std::string symbol;    // "EURUSD"
    std::string price;     // the current price text
    std::string condition; // "Price>1.3000"
    std::string message;   // the popup's message, line breaks as "\n"
    std::string timeText;  // the local date and time text
};

// How the e-mail action leaves: the service request as always, or the user's own server.
enum class MailRoute { Service = 0, OwnServer = 1 };
// "SSL/TLS on connect", "STARTTLS", "none": the stored numbers.
enum class MailSecurity { TlsOnConnect = 0, StartTls = 1, None = 2 };

struct SmtpSettings {
    std::string server;
    int port = 587;
    MailSecurity security = MailSecurity::StartTls;
    std::string user;
    std::string password; // in the clear only in memory
    std::string from;
    std::string to; // the e-mail page's address
    // A password is stored but cannot be read on this account (a copied folder): sending
    // fails with "enter it again"; saved with an empty password, the stored one stays.
    bool passwordUnreadable = false;
};

struct PhoneSettings {
    std::string telegramToken; // in the clear only in memory
    std::string telegramChat;
    std::string ntfyServer; // empty: the public server
    std::string ntfyTopic;
    std::string webhookUrl; // may hold its key: protected when stored, masked when logged
    // As `passwordUnreadable`, for the bot token and the webhook address.
    bool telegramTokenUnreadable = false;
    bool webhookUrlUnreadable = false;
};

enum class DeliveryChannel { Mail = 0, Telegram = 1, Ntfy = 2, Webhook = 3 };
inline constexpr int kDeliveryChannels = 4;

// The end of one attempt. `transient` failures (no connection, a timeout, a 4xx reply of the
// mail server, an HTTP 429 or 5xx) are tried again; others are final.
struct SendResult {
    bool sent = false;
    bool transient = false;
    std::string detail; // the server's answer or the reason, one line, never a secret
};

// The end of one delivery after its retries, as the queue reports it.
struct DeliveryOutcome {
    DeliveryChannel channel = DeliveryChannel::Mail;
    std::uint32_t ticket = 0; // given when submitted
    bool sent = false;
    int attempts = 0;
    std::string detail;
    AlertNotice notice;
};

const char* ChannelName(DeliveryChannel channel); // "MAIL", "TELEGRAM", "NTFY", "WEBHOOK"
