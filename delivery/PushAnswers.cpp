#include "delivery/PushAnswers.h"
#include "platform/Text.h"
#include <algorithm>
#include <vector>

namespace {
// Path segments and query values this long are taken for keys; shorter ones ("hooks",
// "api") are names.
constexpr std::size_t kUrlSecretPartLeast = 12;

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

} // namespace

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

namespace {
std::string WithoutOne(std::string text, const std::string& secret) {
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
} // namespace

std::string WithoutSecret(std::string text, const std::string& secret, bool webAddress) {
    const std::vector<std::string> secrets =
        webAddress ? UrlSecrets(secret) : std::vector<std::string>{secret};
    for (const std::string& each : secrets)
        text = WithoutOne(text, each);
    return text;
}
