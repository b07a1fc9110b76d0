#include "delivery/PushRequests.h"
#include "delivery/PushAnswers.h"
#include "platform/Http.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include <algorithm>
#include <memory>

namespace {
constexpr HttpTimeouts kPushTimeouts{10000, 20000};
constexpr std::size_t kMostAnswerBytes = 16 * 1024;
constexpr std::size_t kAnswerChunkBytes = 2048;
// Telegram refuses a text over 4096 characters; ntfy turns a body over 4096 bytes into an
// attachment; Discord refuses content over 2000 characters.
constexpr std::size_t kTelegramTextCharacters = 4000;
constexpr std::size_t kNtfyBodyBytes = 4000;
constexpr std::size_t kSummaryCharacters = 2000;
constexpr std::size_t kTitleCharacters = 200;
constexpr std::size_t kNtfyTopicLongest = 64;
// An encoded word is at most 75 characters: 12 of framing and 60 of base64.
constexpr std::size_t kEncodedWordBytes = 45;

bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool StartsWithNoCase(const std::string& text, const std::string& head) {
    return text.size() >= head.size() && EqualsNoCase(text.substr(0, head.size()), head);
}

bool IsWebAddress(const std::string& url) {
    if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://"))
        return false;
    for (unsigned char c : url) {
        if (c <= ' ' || c == 0x7F)
            return false;
    }
    return url.find("://") + 3 < url.size();
}

// Pasted settings often carry blanks or a line break at either end.
std::string Cleaned(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlankOrLineBreak(text[begin]))
        ++begin;
    while (end > begin && IsBlankOrLineBreak(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string WithoutTrailingSlashes(std::string address) {
    while (!address.empty() && address.back() == '/')
        address.pop_back();
    return address;
}

std::string ValidUtf8(const std::string& text) {
    return IsValidUtf8(text) ? text : Narrow(Widen(text));
}

// Control characters become blanks, runs of blanks one, none at the ends.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : ValidUtf8(text)) {
        const bool blank = static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == ' ';
        if (!blank)
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    if (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

// "\r\n" and lone "\r" as "\n".
std::string UnixLines(const std::string& text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            lines += text[i];
        else if (i + 1 >= text.size() || text[i + 1] != '\n')
            lines += '\n';
    }
    return lines;
}

std::string JoinNonEmpty(const std::vector<std::string>& parts, const std::string& separator) {
    std::string joined;
    for (const std::string& part : parts) {
        if (part.empty())
            continue;
        if (!joined.empty())
            joined += separator;
        joined += part;
    }
    return joined;
}

// "EURUSD 1.30012 Price>1.3000"
std::string NoticeHead(const AlertNotice& notice) {
    return OneLine(JoinNonEmpty({notice.symbol, notice.price, notice.condition}, " "));
}

// Header values are ASCII: anything else goes as RFC 2047 encoded words, never split inside
// a character, and a line break can never start another header.
std::string HeaderValue(const std::string& text) {
    const std::string line = FirstCharacters(OneLine(text), kTitleCharacters);
    bool ascii = true;
    for (unsigned char c : line)
        ascii = ascii && c < 0x80;
    if (ascii)
        return line;
    std::string encoded;
    std::string word;
    auto flush = [&] {
        if (!encoded.empty())
            encoded += ' ';
        encoded += "=?UTF-8?B?" + Base64Encode(word) + "?=";
        word.clear();
    };
    for (const std::string& character : Utf8Characters(line)) {
        if (word.size() + character.size() > kEncodedWordBytes)
            flush();
        word += character;
    }
    if (!word.empty())
        flush();
    return encoded;
}

// Bot tokens are "<digits>:<letters, digits, - and _>": anything else would change the path.
bool IsTelegramToken(const std::string& token) {
    for (char c : token) {
        if (!IsAsciiLetterOrDigit(c) && c != ':' && c != '-' && c != '_')
            return false;
    }
    return !token.empty();
}

// The rule of ntfy's servers.
bool IsNtfyTopic(const std::string& topic) {
    for (char c : topic) {
        if (!IsAsciiLetterOrDigit(c) && c != '-' && c != '_')
            return false;
    }
    return !topic.empty() && topic.size() <= kNtfyTopicLongest;
}

PushRequest Refused(const std::string& reason) {
    PushRequest request;
    request.error = reason;
    return request;
}

PushRequest TelegramRequest(const PhoneSettings& settings, const AlertNotice& notice) {
    const std::string token = Cleaned(settings.telegramToken);
    const std::string chat = Cleaned(settings.telegramChat);
    if (token.empty())
        return Refused("no Telegram bot token is set");
    if (!IsTelegramToken(token))
        return Refused("the Telegram bot token holds characters no token has");
    if (chat.empty())
        return Refused("no Telegram chat is set");
    const std::string text = JoinNonEmpty(
        {NoticeHead(notice), UnixLines(ValidUtf8(notice.message)), OneLine(notice.timeText)}, "\n");
    PushRequest request;
    request.url = WithoutTrailingSlashes(EnvironmentValue(kTelegramApiVariable, kTelegramApiDefault)) +
                  "/bot" + token + "/sendMessage";
    request.contentType = "application/json";
    request.body = "{\"chat_id\":" + JsonQuoted(chat) +
                   ",\"text\":" + JsonQuoted(FirstCharacters(text, kTelegramTextCharacters)) + "}";
    return request;
}

std::string NtfyServer(const PhoneSettings& settings) {
    std::string server = Cleaned(settings.ntfyServer);
    if (server.empty())
        server = EnvironmentValue(kNtfyServerVariable, kNtfyServerDefault);
    else if (server.find("://") == std::string::npos)
        server = "https://" + server; // a bare host name
    return WithoutTrailingSlashes(server);
}

PushRequest NtfyRequest(const PhoneSettings& settings, const AlertNotice& notice) {
    const std::string server = NtfyServer(settings);
    const std::string topic = Cleaned(settings.ntfyTopic);
    if (topic.empty())
        return Refused("no ntfy topic is set");
    if (!IsNtfyTopic(topic))
        return Refused("an ntfy topic holds only letters, digits, - and _ (at most 64)");
    if (!IsWebAddress(server))
        return Refused("the ntfy server is no http:// or https:// address");
    const std::string message = UnixLines(ValidUtf8(notice.message));
    const std::string body = JoinNonEmpty(
        {message.empty() ? NoticeHead(notice) : message, OneLine(notice.timeText)}, "\n");
    PushRequest request;
    request.url = server + "/" + topic;
    request.contentType = "text/plain; charset=utf-8";
    request.headers = {"Title: " + HeaderValue(NoticeHead(notice)), "Priority: high", "Tags: bell"};
    request.body = CutUtf8(body, kNtfyBodyBytes);
    return request;
}

PushRequest WebhookRequest(const PhoneSettings& settings, const AlertNotice& notice) {
    const std::string url = Cleaned(settings.webhookUrl);
    if (url.empty())
        return Refused("no webhook address is set");
    if (!IsWebAddress(url))
        return Refused("the webhook address is no http:// or https:// address");
    const std::string summary =
        JsonQuoted(FirstCharacters(NoticeSummary(notice), kSummaryCharacters));
    PushRequest request;
    request.url = url;
    request.contentType = "application/json";
    request.body = "{\"symbol\":" + JsonQuoted(notice.symbol) +
                   ",\"price\":" + JsonQuoted(notice.price) +
                   ",\"condition\":" + JsonQuoted(notice.condition) +
                   ",\"message\":" + JsonQuoted(UnixLines(notice.message)) +
                   ",\"time\":" + JsonQuoted(notice.timeText) + ",\"text\":" + summary +
                   ",\"content\":" + summary + "}";
    return request;
}

std::string ReadAnswer(HttpResponse& response) {
    std::string answer;
    char chunk[kAnswerChunkBytes];
    std::size_t got = 0;
    while (answer.size() < kMostAnswerBytes && response.Read(chunk, sizeof chunk, got) && got > 0)
        answer.append(chunk, got);
    return answer;
}
} // namespace

std::string JsonQuoted(const std::string& text) {
    static const char* const kHex = "0123456789abcdef";
    std::string quoted = "\"";
    for (char c : ValidUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (byte < 0x20) {
            quoted += "\\u00";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 0x0F];
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string NoticeSummary(const AlertNotice& notice) {
    const std::string head = NoticeHead(notice);
    const std::string message = OneLine(notice.message);
    return message.empty() ? head : head.empty() ? message : head + ": " + message;
}

PushRequest MakePushRequest(DeliveryChannel channel, const PhoneSettings& settings,
                            const AlertNotice& notice) {
    switch (channel) {
    case DeliveryChannel::Telegram:
        return TelegramRequest(settings, notice);
    case DeliveryChannel::Ntfy:
        return NtfyRequest(settings, notice);
    case DeliveryChannel::Webhook:
        return WebhookRequest(settings, notice);
    case DeliveryChannel::Mail:
        break;
    }
    return Refused("mail is not sent over HTTP");
}

SendResult PushAnswerResult(DeliveryChannel channel, int status, const std::string& answer,
                            const std::string& secret) {
    SendResult result;
    if (status >= 200 && status < 300) {
        result.sent = true;
        result.detail = "HTTP " + std::to_string(status);
        return result;
    }
    if (status <= 0) {
        result.transient = true;
        result.detail = "no HTTP answer";
        return result;
    }
    result.transient = status == 429 || (status >= 500 && status < 600);
    std::string reason;
    if (channel == DeliveryChannel::Telegram)
        reason = JsonStringField(answer, "description");
    if (reason.empty())
        reason = answer;
    reason = WithoutSecret(reason, secret, channel == DeliveryChannel::Webhook);
    reason = FirstCharacters(OneLine(reason), kAnswerDetailCharacters);
    result.detail = "HTTP " + std::to_string(status) + (reason.empty() ? "" : " " + reason);
    return result;
}

SendResult SendPush(DeliveryChannel channel, const PhoneSettings& settings,
                    const AlertNotice& notice) {
    const PushRequest request = MakePushRequest(channel, settings, notice);
    if (!request.error.empty())
        return SendResult{false, false, request.error};
    HttpOpenError error = HttpOpenError::None;
    std::unique_ptr<HttpResponse> response =
        CurrentHttp().Post(request.url, kPushAgent, request.contentType, request.headers,
                           request.body, kPushTimeouts, error);
    if (error == HttpOpenError::Certificate)
        return SendResult{false, false, "the server's certificate was refused"};
    if (!response) {
        return SendResult{
            false, true, error == HttpOpenError::Session ? "no Internet session" : "no connection"};
    }
    const int status = response->StatusCode();
    const std::string answer = ReadAnswer(*response);
    const std::string secret = channel == DeliveryChannel::Telegram
                                   ? Cleaned(settings.telegramToken)
                               : channel == DeliveryChannel::Webhook ? Cleaned(settings.webhookUrl)
                                                                     : "";
    return PushAnswerResult(channel, status, answer, secret);
}
