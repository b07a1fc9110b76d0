#pragma once
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// The program's one copy of each text rule; every subsystem takes its helpers from here.

// Program text is UTF-8; wide strings exist only at the system boundary.
bool IsValidUtf8(const std::string& text);
std::wstring Widen(const std::string& utf8);  // invalid sequences become U+FFFD
std::string Narrow(const std::wstring& wide); // unpaired surrogates become U+FFFD

// Text in the system's ANSI code page (GBK on Chinese Windows), as older files hold it.
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);

// ASCII-only case helpers: names in settings files are compared without case.
std::string ToUpperAscii(std::string text);
std::string ToLowerAscii(std::string text);
bool EqualsNoCase(const std::string& a, const std::string& b);

// Blanks are spaces and tabs (the settings files' rule); white space adds the line breaks
// and the C library's other space characters.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
inline bool IsBlankOrLineBreak(char c) {
    return IsBlank(c) || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
std::string TrimBlanks(const std::string& text); // blanks at both ends

// Cutting UTF-8 text. A character is a byte that is not 10xxxxxx together with the
// 10xxxxxx bytes after it; no cut ever splits one, whatever the bytes are.
std::string FirstCharacters(const std::string& text, std::size_t count);
std::string LastCharacters(const std::string& text, std::size_t count);
std::vector<std::string> Utf8Characters(const std::string& text);   // one entry per character
std::string CutUtf8(const std::string& text, std::size_t maxBytes); // at most maxBytes bytes

// Numbers in text. Two rules, for two kinds of caller:
// ParseInteger is strict: the whole text is one decimal integer (a sign allowed, blanks
// around it); anything else, or a value outside Int, gives nothing.
// LeadingInteger reads as the C library's atoi: white space and a sign may come first,
// reading stops at the first non-digit, no digit gives 0. A value too large for Int
// saturates at Int's largest magnitude (negative: minus that) instead of wrapping; an
// unsigned Int takes 0 for a negative text.
namespace textdetail {
struct IntegerText {
    bool negative = false;
    bool hasDigits = false;
    bool saturated = false;           // more digits than any integer type holds
    unsigned long long magnitude = 0; // held at the largest unsigned long long
    std::size_t end = 0;              // one past the last character read
};
IntegerText ReadInteger(const std::string& text, bool skipLineBreaks);

template <class Int> constexpr unsigned long long LargestMagnitude() {
    return static_cast<unsigned long long>(std::numeric_limits<Int>::max());
}
} // namespace textdetail

template <class Int = int> std::optional<Int> ParseInteger(const std::string& text) {
    static_assert(std::is_integral_v<Int>);
    const textdetail::IntegerText read = textdetail::ReadInteger(text, false);
    std::size_t end = read.end;
    while (end < text.size() && IsBlank(text[end]))
        ++end;
    if (!read.hasDigits || read.saturated || end != text.size())
        return std::nullopt;
    if (!read.negative) {
        if (read.magnitude > textdetail::LargestMagnitude<Int>())
            return std::nullopt;
        return static_cast<Int>(read.magnitude);
    }
    if constexpr (std::is_unsigned_v<Int>) {
        if (read.magnitude != 0)
            return std::nullopt;
        return Int{0};
    } else {
        // The lowest value is one further from zero than the largest.
        if (read.magnitude > textdetail::LargestMagnitude<Int>() + 1)
            return std::nullopt;
        if (read.magnitude == 0)
            return Int{0};
        return static_cast<Int>(-static_cast<long long>(read.magnitude - 1) - 1);
    }
}

template <class Int = long long> Int LeadingInteger(const std::string& text) {
    static_assert(std::is_integral_v<Int>);
    const textdetail::IntegerText read = textdetail::ReadInteger(text, true);
    const unsigned long long largest = textdetail::LargestMagnitude<Int>();
    const auto magnitude = static_cast<Int>(read.magnitude > largest ? largest : read.magnitude);
    if constexpr (std::is_unsigned_v<Int>)
        return read.negative ? Int{0} : magnitude;
    else
        return read.negative ? static_cast<Int>(-magnitude) : magnitude;
}
// The leading decimal number as the C library's atof reads it; 0 when there is none.
double LeadingNumber(const std::string& text);

// The non-empty comma-separated entries, in order.
std::vector<std::string> SplitList(const std::string& list);
// Every entry followed by a comma: "EURUSD,GBPUSD,".
std::string JoinList(const std::vector<std::string>& entries);
// Whether `entry` is a whole entry of the list, with or without a comma before the first
// entry or after the last: the bar writes "EURUSD,GBPUSD,", the list window ",EURUSD,".
bool ListHasEntry(const std::string& list, const std::string& entry);

// A web address as given, or with "http://" in front when it starts with neither
// "http://" nor "https://" (a bare host:port from the settings).
std::string WithHttpScheme(const std::string& address);

// Query values may hold blanks, "+" and "&"; everything but the unreserved characters is
// sent as %XX of its UTF-8 bytes.
std::string PercentEncode(const std::string& text);

// Base64 of RFC 4648 with padding and no line breaks (mail bodies, stored secrets).
std::string Base64Encode(const std::string& bytes);
// Nothing when the text is not padded base64; blanks and line breaks are skipped.
std::optional<std::string> Base64Decode(const std::string& text);
