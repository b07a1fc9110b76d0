#include "delivery/PushRequests.h"
#include "platform/Http.h"
#include "platform/Text.h"
#include <algorithm>
#include <cstdlib>
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
// Path segments and query values this long are taken for keys; shorter ones ("hooks",
// "api") are names.
constexpr std::size_t kUrlSecretPartLeast = 12;

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

std::string EnvironmentOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
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
    request.url = WithoutTrailingSlashes(EnvironmentOr(kTelegramApiVariable, kTelegramApiDefault)) +
                  "/bot" + token + "/sendMessage";
    request.contentType = "application/json";
    request.body = "{\"chat_id\":" + JsonQuoted(chat) +
                   ",\"text\":" + JsonQuoted(FirstCharacters(text, kTelegramTextCharacters)) + "}";
    return request;
}

std::string NtfyServer(const PhoneSettings& settings) {
    std::string server = Cleaned(settings.ntfyServer);
    if (server.empty())
        server = EnvironmentOr(kNtfyServerVariable, kNtfyServerDefault);
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

void AppendUtf8(std::string& text, unsigned codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | codePoint >> 6);
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | codePoint >> 12);
        text += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | codePoint >> 18);
        text += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool ReadHex4(const std::string& json, std::size_t at, unsigned& value) {
    if (at + 4 > json.size())
        return false;
    value = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        const char c = json[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return false;
        value = value << 4 | static_cast<unsigned>(digit);
    }
    return true;
}

// The string value of `"key":` at the top of an answer such as Telegram's
// {"ok":false,"error_code":401,"description":"Unauthorized"}; "" when there is none.
std::string JsonStringField(const std::string& json, const std::string& key) {
    std::size_t at = json.find("\"" + key + "\"");
    if (at == std::string::npos)
        return "";
    at += key.size() + 2;
    while (at < json.size() && IsBlankOrLineBreak(json[at]))
        ++at;
    if (at >= json.size() || json[at] != ':')
        return "";
    ++at;
    while (at < json.size() && IsBlankOrLineBreak(json[at]))
        ++at;
    if (at >= json.size() || json[at] != '"')
        return "";
    std::string value;
    for (++at; at < json.size() && json[at] != '"'; ++at) {
        if (json[at] != '\\') {
            value += json[at];
            continue;
        }
        if (++at >= json.size())
            break;
        unsigned code = 0;
        switch (json[at]) {
        case 'n':
        case 'r':
        case 't':
        case 'b':
        case 'f':
            value += ' '; // the detail is one line
            break;
        case 'u':
            if (!ReadHex4(json, at + 1, code))
                return value;
            at += 4;
            if (code >= 0xD800 && code < 0xDC00 && json.compare(at + 1, 2, "\\u") == 0) {
                unsigned low = 0;
                if (ReadHex4(json, at + 3, low) && low >= 0xDC00 && low < 0xE000) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    at += 6;
                }
            }
            AppendUtf8(value, code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
            break;
        default:
            value += json[at]; // \" \\ \/
        }
    }
    return value;
}

std::string WithoutSecret(std::string text, const std::string& secret) {
    if (secret.empty())
        return text;
    for (std::size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + 3))
        text.replace(at, secret.size(), "***");
    return text;
}

// What of a webhook address may be its secret: the path and the query, whole and each part
// long enough to be a key. Servers echo them ("Cannot POST /hooks/<key>").
std::vector<std::string> UrlSecrets(const std::string& url) {
    std::vector<std::string> secrets{url};
    const std::size_t scheme = url.find("://");
    const std::size_t pathStart =
        url.find_first_of("/?#", scheme == std::string::npos ? 0 : scheme + 3);
    if (pathStart == std::string::npos)
        return secrets;
    const std::string tail = url.substr(pathStart);
    const std::size_t queryStart = tail.find('?');
    secrets.push_back(tail);
    secrets.push_back(tail.substr(0, queryStart));
    if (queryStart != std::string::npos)
        secrets.push_back(tail.substr(queryStart + 1));
    std::string part;
    for (const char c : tail + "/") {
        if (c != '/' && c != '?' && c != '&' && c != '=' && c != '#') {
            part += c;
            continue;
        }
        if (part.size() >= kUrlSecretPartLeast)
            secrets.push_back(part);
        part.clear();
    }
    // The longest first, so that a whole is masked before its parts; never a lone "/".
    std::erase_if(secrets, [](const std::string& secret) { return secret.size() < 2; });
    std::sort(secrets.begin(), secrets.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    return secrets;
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
    const std::vector<std::string> secrets =
        channel == DeliveryChannel::Webhook ? UrlSecrets(secret) : std::vector<std::string>{secret};
    for (const std::string& each : secrets)
        reason = WithoutSecret(reason, each);
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
