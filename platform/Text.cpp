#include "platform/Text.h"
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {
constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at text[i], advancing i; returns kReplacement for a bad sequence.
char32_t DecodeOne(const std::string& text, std::size_t& i, bool& ok) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    ok = true;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ++i;
        ok = false;
        return kReplacement;
    }
    if (i + length > text.size()) {
        ++i;
        ok = false;
        return kReplacement;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80) {
            ++i;
            ok = false;
            return kReplacement;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    const bool overlong =
        (length == 2 && cp < 0x80) || (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        ok = false;
        return kReplacement;
    }
    i += length;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
} // namespace

bool IsValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        bool ok = true;
        DecodeOne(text, i, ok);
        if (!ok)
            return false;
    }
    return true;
}

std::wstring Widen(const std::string& utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        bool ok = true;
        const char32_t cp = DecodeOne(utf8, i, ok);
        if constexpr (sizeof(wchar_t) == 2) {
            if (cp >= 0x10000) {
                const char32_t v = cp - 0x10000;
                out += static_cast<wchar_t>(0xD800 + (v >> 10));
                out += static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
                continue;
            }
        }
        out += static_cast<wchar_t>(cp);
    }
    return out;
}

std::string Narrow(const std::wstring& wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = static_cast<char32_t>(wide[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                wide[i + 1] <= 0xDFFF) {
                cp =
                    0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(wide[i + 1]) - 0xDC00);
                ++i;
            } else if (cp >= 0xD800 && cp <= 0xDFFF) {
                cp = kReplacement;
            }
        } else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string ToUpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string ToLowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::string TrimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

namespace {
bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

std::string FirstCharacters(const std::string& text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!IsUtf8Continuation(text[i]) && characters++ == count)
            return text.substr(0, i);
    return text;
}

std::string LastCharacters(const std::string& text, std::size_t count) {
    std::size_t start = text.size();
    for (std::size_t seen = 0; start > 0 && seen < count; ++seen) {
        --start;
        while (start > 0 && IsUtf8Continuation(text[start]))
            --start;
    }
    return text.substr(start);
}

std::vector<std::string> Utf8Characters(const std::string& text) {
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = at + 1;
        while (end < text.size() && IsUtf8Continuation(text[end]))
            ++end;
        characters.push_back(text.substr(at, end - at));
        at = end;
    }
    return characters;
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t cut = maxBytes;
    while (cut > 0 && IsUtf8Continuation(text[cut]))
        --cut;
    return text.substr(0, cut);
}

textdetail::IntegerText textdetail::ReadInteger(const std::string& text, bool skipLineBreaks) {
    constexpr unsigned long long kLargest = std::numeric_limits<unsigned long long>::max();
    IntegerText read;
    std::size_t i = 0;
    while (i < text.size() && (skipLineBreaks ? IsBlankOrLineBreak(text[i]) : IsBlank(text[i])))
        ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        read.negative = text[i++] == '-';
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i) {
        const auto digit = static_cast<unsigned long long>(text[i] - '0');
        read.hasDigits = true;
        if (read.magnitude > (kLargest - digit) / 10)
            read.saturated = true;
        read.magnitude = read.saturated ? kLargest : read.magnitude * 10 + digit;
    }
    read.end = i;
    return read;
}

double LeadingNumber(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = list.find(',', start);
        const std::size_t end = comma == std::string::npos ? list.size() : comma;
        if (end > start)
            entries.push_back(list.substr(start, end - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return entries;
}

std::string JoinList(const std::vector<std::string>& entries) {
    std::string list;
    for (const auto& entry : entries)
        list += entry + ",";
    return list;
}

bool ListHasEntry(const std::string& list, const std::string& entry) {
    if (entry.empty())
        return false;
    for (std::size_t at = list.find(entry); at != std::string::npos;
         at = list.find(entry, at + 1)) {
        const std::size_t end = at + entry.size();
        if ((at == 0 || list[at - 1] == ',') && (end == list.size() || list[end] == ','))
            return true;
    }
    return false;
}

std::string WithHttpScheme(const std::string& address) {
    if (address.rfind("http://", 0) == 0 || address.rfind("https://", 0) == 0)
        return address;
    return "http://" + address;
}

std::string PercentEncode(const std::string& text) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
                                c == '~';
        if (unreserved) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

namespace {
const char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}
} // namespace

std::string Base64Encode(const std::string& bytes) {
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        unsigned group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            encoded += k <= count ? kBase64Alphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return encoded;
}

std::optional<std::string> Base64Decode(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (!IsBlankOrLineBreak(c))
            digits += c;
    if (digits.size() % 4 != 0)
        return std::nullopt;
    std::string decoded;
    for (std::size_t i = 0; i < digits.size(); i += 4) {
        const bool last = i + 4 == digits.size();
        unsigned group = 0;
        int padding = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = digits[i + k];
            // Padding only at the very end, at most two, and nothing after it.
            if (c == '=' && last && k >= 2 && (k == 3 || digits[i + 3] == '=')) {
                ++padding;
                group <<= 6;
                continue;
            }
            const int value = Base64Value(c);
            if (value < 0 || padding > 0)
                return std::nullopt;
            group = (group << 6) | static_cast<unsigned>(value);
        }
        for (int k = 0; k < 3 - padding; ++k)
            decoded += static_cast<char>((group >> (16 - 8 * k)) & 0xFF);
    }
    return decoded;
}
