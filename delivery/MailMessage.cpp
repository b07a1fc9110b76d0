#include "delivery/MailMessage.h"
#include "platform/Text.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
constexpr std::size_t kFoldWidth = 78;        // the recommended line length of a header
constexpr std::size_t kEncodedLineWidth = 76; // a line holding an encoded word
constexpr std::size_t kEncodedWordMax = 75;
constexpr std::size_t kBodyLineWidth = 76;
// No line of a message may be longer; a word that cannot fit even alone is encoded when
// its header allows it.
constexpr std::size_t kHardLineLimit = 998;
const char kEncodedPrefix[] = "=?UTF-8?B?";
const char kEncodedSuffix[] = "?=";
constexpr std::size_t kEncodedOverhead = sizeof kEncodedPrefix - 1 + sizeof kEncodedSuffix - 1;
const char kProgramName[] = "Pip Warden";

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// A header value on one line: every control character (CR and LF above all) a blank.
std::string OneLine(const std::string& value) {
    std::string line = value;
    for (char& c : line)
        if (IsControl(static_cast<unsigned char>(c)))
            c = ' ';
    return line;
}

std::vector<std::string> SplitOnBlanks(const std::string& text) {
    std::vector<std::string> words(1);
    for (char c : text) {
        if (c == ' ')
            words.emplace_back();
        else
            words.back() += c;
    }
    return words;
}

bool NeedsEncoding(const std::string& name, const std::string& value) {
    for (unsigned char c : value)
        if (c >= 0x80)
            return true;
    if (value.find("=?") != std::string::npos)
        return true;
    for (const std::string& word : SplitOnBlanks(value))
        if (name.size() + 2 + word.size() > kHardLineLimit)
            return true;
    return false;
}

// Only free text may carry encoded words: in an address, a message id or a date a reader
// takes them literally, and strict servers refuse the mail.
bool IsUnstructured(const std::string& name) {
    return EqualsNoCase(name, "Subject") || EqualsNoCase(name, "Comments");
}

std::string FoldPlain(const std::string& name, const std::string& value) {
    std::string field = name + ":";
    std::size_t lineLength = field.size();
    bool lineHasWord = false;
    for (const std::string& word : SplitOnBlanks(value)) {
        // The blank before a word is where a fold may go; unfolding gives it back. A line
        // keeps at least one word, and no line is blanks alone.
        if (lineHasWord && !word.empty() && lineLength + 1 + word.size() > kFoldWidth) {
            field += "\r\n";
            lineLength = 0;
        }
        field += " " + word;
        lineLength += 1 + word.size();
        lineHasWord = lineHasWord || !word.empty();
    }
    return field + "\r\n";
}

// The most bytes one encoded word may carry when it has `width` characters of room.
std::size_t EncodedCapacity(std::size_t width) {
    return width <= kEncodedOverhead ? 0 : (width - kEncodedOverhead) / 4 * 3;
}

std::string FoldEncoded(const std::string& name, const std::string& value) {
    std::string field = name + ":";
    // The first word shares its line with the name; each further one has a line to itself.
    std::size_t capacity = EncodedCapacity(kEncodedLineWidth - field.size() - 1);
    std::string chunk;
    const auto flush = [&] {
        if (chunk.empty())
            return;
        field += " " + std::string(kEncodedPrefix) + Base64Encode(chunk) + kEncodedSuffix;
        chunk.clear();
        field += "\r\n";
        capacity = EncodedCapacity(std::min(kEncodedWordMax, kEncodedLineWidth - 1));
    };
    // Whole characters only: a word never ends inside a UTF-8 sequence.
    for (const std::string& character : Utf8Characters(value)) {
        if (chunk.size() + character.size() > capacity)
            flush();
        chunk += character;
    }
    flush();
    if (field.back() != '\n')
        field += "\r\n";
    return field;
}

std::string AngleBracketed(const std::string& text) {
    std::string inner;
    for (char c : OneLine(text))
        if (c != '<' && c != '>' && c != ' ')
            inner += c;
    return "<" + inner + ">";
}

std::string WithCrLf(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            result += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += c;
        }
    }
    return result;
}

std::string Base64Lines(const std::string& bytes) {
    const std::string encoded = Base64Encode(bytes);
    std::string lines;
    for (std::size_t i = 0; i < encoded.size(); i += kBodyLineWidth)
        lines += encoded.substr(i, kBodyLineWidth) + "\r\n";
    return lines;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}
} // namespace

std::string MailSubject(const AlertNotice& notice) {
    std::string subject;
    for (const std::string* part : {&notice.symbol, &notice.price, &notice.condition}) {
        const std::string text = TrimBlanks(OneLine(*part));
        if (text.empty())
            continue;
        if (!subject.empty())
            subject += ' ';
        subject += text;
    }
    return subject;
}

std::string MailBodyText(const AlertNotice& notice) {
    std::string body;
    if (!notice.message.empty())
        body += WithCrLf(notice.message) + "\r\n\r\n";
    body += "Symbol: " + OneLine(notice.symbol) + "\r\n";
    body += "Price: " + OneLine(notice.price) + "\r\n";
    body += "Condition: " + OneLine(notice.condition) + "\r\n";
    body += "Time: " + OneLine(notice.timeText) + "\r\n";
    body += "\r\n-- \r\n" + std::string(kProgramName) + "\r\n";
    return body;
}

std::string HeaderField(const std::string& name, const std::string& value) {
    const std::string line = OneLine(value);
    return IsUnstructured(name) && NeedsEncoding(name, line) ? FoldEncoded(name, line)
                                                             : FoldPlain(name, line);
}

std::string ComposeMail(const std::string& from, const std::string& to, const AlertNotice& notice,
                        const std::string& dateText, const std::string& messageId) {
    std::string mail;
    mail += HeaderField("From", std::string(kProgramName) + " " + AngleBracketed(from));
    mail += HeaderField("To", AngleBracketed(to));
    mail += HeaderField("Subject", MailSubject(notice));
    mail += HeaderField("Date", dateText);
    mail += HeaderField("Message-ID", AngleBracketed(messageId));
    mail += "MIME-Version: 1.0\r\n";
    mail += "Content-Type: text/plain; charset=UTF-8\r\n";
    mail += "Content-Transfer-Encoding: base64\r\n";
    mail += "\r\n";
    mail += Base64Lines(MailBodyText(notice));
    return mail;
}

bool IsValidMailAddress(const std::string& address) {
    const std::size_t at = address.rfind('@');
    if (at == std::string::npos || at == 0 || at + 1 == address.size())
        return false;
    for (unsigned char c : address)
        if (c <= ' ' || c >= 0x7F || c == '<' || c == '>' || c == '(' || c == ')' || c == ',' ||
            c == ';' || c == '\\' || c == '"')
            return false;
    return address.find('@') == at;
}

std::string DataSection(const std::string& message) {
    std::string data;
    bool lineStart = true;
    for (std::size_t i = 0; i < message.size(); ++i) {
        const char c = message[i];
        if (c == '\r' || c == '\n') {
            data += "\r\n";
            if (c == '\r' && i + 1 < message.size() && message[i + 1] == '\n')
                ++i;
            lineStart = true;
            continue;
        }
        if (lineStart && c == '.')
            data += '.';
        data += c;
        lineStart = false;
    }
    if (!lineStart)
        data += "\r\n";
    return data + ".\r\n";
}

std::string MailDateText(const LocalTime& time, int utcOffsetMinutes) {
    static const char* const kDays[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (time.month < 1 || time.month > 12)
        return "";
    const long long days = DaysFromCivil(time.year, time.month, time.day);
    const int weekday = static_cast<int>(((days % 7) + 7) % 7); // 1970-01-01 was a Thursday
    const int offset = std::abs(utcOffsetMinutes);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", kDays[weekday],
                  time.day, kMonths[time.month - 1], time.year, time.hour, time.minute, time.second,
                  utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}
