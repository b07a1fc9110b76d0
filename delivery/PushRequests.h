#pragma once
// Messages to the phone: the HTTP request of each channel and the sending of it.
#include "delivery/Delivery.h"
#include <string>
#include <vector>

inline constexpr const char* kTelegramApiDefault = "https://api.telegram.org";
inline constexpr const char* kNtfyServerDefault = "https://ntfy.sh";
// Tests point the channels at a local server through these.
inline constexpr const char* kTelegramApiVariable = "PIPWARDEN_TELEGRAM_API";
inline constexpr const char* kNtfyServerVariable = "PIPWARDEN_NTFY_SERVER";
inline constexpr const char* kPushAgent = "Pip Warden";
// Longest answer text kept in a failure's detail.
inline constexpr std::size_t kAnswerDetailCharacters = 200;

struct PushRequest {
    std::string error; // why no request could be made; the rest is empty then
    std::string url;   // may hold the bot token: never logged
    std::string contentType;
    std::vector<std::string> headers; // "Name: value"
    std::string body;
};

// The request of Telegram, ntfy or the webhook (the mail channel has none).
PushRequest MakePushRequest(DeliveryChannel channel, const PhoneSettings& settings,
                            const AlertNotice& notice);

// A JSON string with its quotes; invalid UTF-8 is sent as U+FFFD.
std::string JsonQuoted(const std::string& text);
// The notice in one line: "EURUSD 1.30012 Price>1.3000: the message".
std::string NoticeSummary(const AlertNotice& notice);

// The outcome of an answer: 2xx sent; 429, 5xx and no answer (status 0) again later;
// anything else final, with the status and the start of the answer (Telegram's
// "description") and never `secret` (for the webhook its address, whose path and query are
// masked wherever the answer repeats them).
SendResult PushAnswerResult(DeliveryChannel channel, int status, const std::string& answer,
                            const std::string& secret);

// Sends the notice through CurrentHttp(); blocks for the request, so run it on a worker.
// No connection is tried again later; a refused certificate is final.
SendResult SendPush(DeliveryChannel channel, const PhoneSettings& settings,
                    const AlertNotice& notice);
