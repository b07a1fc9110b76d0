#include "settings/DateTime.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include <cmath>
#include <cstdio>

namespace {
constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;
constexpr int kDiffYearFloor = 1950;
constexpr long long kSecondsPerDay = 86400;
constexpr long long kMsPerSecond = 1000;
constexpr long long kMsPerDay = kSecondsPerDay * kMsPerSecond;
constexpr long long kHalfSecondMs = 500;

// Days since 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
}

const long long kOleEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Before 1899-12-30 an OLE date's fraction runs the other way (-1.25 is 1899-12-29 06:00);
// arithmetic is done on a plain linear day count.
double OleToLinear(double ole) {
    if (ole >= 0)
        return ole;
    return 2 * std::ceil(ole) - ole;
}

double LinearToOle(double linear) {
    if (linear >= 0)
        return linear;
    const double day = std::floor(linear);
    return day - (linear - day);
}

// Whole milliseconds on the linear scale; exact for every representable date.
long long LinearMilliseconds(const DateTimeValue& value) {
    return std::llround(OleToLinear(value.date) * static_cast<double>(kMsPerDay));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

class Scanner {
public:
    explicit Scanner(const std::string& text) : text_(text) {}

    bool AtEnd() const { return pos_ == text_.size(); }
    std::size_t Position() const { return pos_; }
    void Rewind(std::size_t pos) { pos_ = pos; }

    bool Number(std::size_t minDigits, std::size_t maxDigits, int& value) {
        std::size_t digits = 0;
        value = 0;
        while (pos_ < text_.size() && IsDigit(text_[pos_]) && digits < maxDigits) {
            value = value * 10 + (text_[pos_] - '0');
            ++pos_;
            ++digits;
        }
        return digits >= minDigits && (AtEnd() || !IsDigit(text_[pos_]));
    }

    bool Take(char c) {
        if (AtEnd() || text_[pos_] != c)
            return false;
        ++pos_;
        return true;
    }

    bool TakeDateSeparator(char& separator) {
        if (Take('-'))
            separator = '-';
        else if (Take('/'))
            separator = '/';
        else
            return false;
        return true;
    }

    bool SkipBlanks() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsBlank(text_[pos_]))
            ++pos_;
        return pos_ > start;
    }

private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

struct DateFields {
    int year = 1899, month = 12, day = 30;
};

struct TimeFields {
    int hour = 0, minute = 0, second = 0;
};

bool ScanDate(Scanner& in, DateFields& date) {
    char first = 0, second = 0;
    return in.Number(4, 4, date.year) && in.TakeDateSeparator(first) &&
           in.Number(1, 2, date.month) && in.TakeDateSeparator(second) && second == first &&
           in.Number(1, 2, date.day);
}

bool ScanTime(Scanner& in, TimeFields& time) {
    if (!in.Number(1, 2, time.hour) || !in.Take(':') || !in.Number(1, 2, time.minute))
        return false;
    if (in.Take(':'))
        return in.Number(1, 2, time.second);
    return true;
}

constexpr int kTwoDigitYearMax = 2049;

// Reads one field of the pattern, `run` letters long, into the date.
bool ScanPatternField(Scanner& in, char letter, std::size_t run, DateFields& date) {
    int value = 0;
    if (letter == 'y' && run > 2) {
        if (!in.Number(4, 4, value))
            return false;
        date.year = value;
        return true;
    }
    if (!in.Number(1, 2, value))
        return false;
    if (letter == 'y')
        date.year = value + (value <= kTwoDigitYearMax % 100 ? 2000 : 1900);
    else if (letter == 'M')
        date.month = value;
    else
        date.day = value;
    return true;
}

bool ScanPatternDate(Scanner& in, const std::string& pattern, DateFields& date) {
    bool day = false, month = false, year = false;
    for (std::size_t p = 0; p < pattern.size();) {
        const char c = pattern[p];
        std::size_t run = 1;
        while (p + run < pattern.size() && pattern[p + run] == c)
            ++run;
        if (c == 'd' || c == 'M' || c == 'y') {
            if (c != 'y' && run > 2)
                return false; // names of days and months
            if (!ScanPatternField(in, c, run, date))
                return false;
            (c == 'd' ? day : c == 'M' ? month : year) = true;
            p += run;
        } else if (c == '\'') {
            const std::size_t close = pattern.find('\'', p + 1);
            const std::size_t end = close == std::string::npos ? pattern.size() : close;
            for (std::size_t k = p + 1; k < end; ++k)
                if (!in.Take(pattern[k]))
                    return false;
            p = end + 1;
        } else {
            if (IsBlank(c))
                in.SkipBlanks();
            else if (!in.Take(c))
                return false;
            ++p;
        }
    }
    return day && month && year;
}

DateTimeValue Invalid() {
    return {0.0, DateTimeStatus::Invalid};
}
} // namespace

DateTimeValue MakeDateTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return Invalid();
    const long long days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        kOleEpochDays;
    const long long secondOfDay = hour * 3600LL + minute * 60LL + second;
    const double linear = static_cast<double>(days) +
                          static_cast<double>(secondOfDay) / static_cast<double>(kSecondsPerDay);
    return {LinearToOle(linear), DateTimeStatus::Valid};
}

DateTimeValue DateTimeFromLocalTime(const LocalTime& time) {
    return MakeDateTime(time.year, time.month, time.day, time.hour, time.minute, time.second);
}

DateTimeValue CurrentDateTime() {
    return DateTimeFromLocalTime(CurrentClock().Now());
}

DateTimeValue ParseDateTime(const std::string& text) {
    const std::string trimmed = TrimBlanks(text);
    if (trimmed.empty())
        return Invalid();
    Scanner in(trimmed);
    DateFields date;
    TimeFields time;
    if (ScanDate(in, date)) {
        if (!in.AtEnd() && !(in.SkipBlanks() && ScanTime(in, time)))
            return Invalid();
    } else {
        in.Rewind(0);
        date = DateFields{}; // a time alone falls on day 0
        if (!ScanTime(in, time))
            return Invalid();
    }
    if (!in.AtEnd())
        return Invalid();
    return MakeDateTime(date.year, date.month, date.day, time.hour, time.minute, time.second);
}

DateTimeValue ParseDateTime(const std::string& text, const std::string& shortDatePattern) {
    const DateTimeValue yearFirst = ParseDateTime(text);
    if (yearFirst.IsValid() || shortDatePattern.empty())
        return yearFirst;
    const std::string trimmed = TrimBlanks(text);
    Scanner in(trimmed);
    DateFields date;
    TimeFields time;
    if (!ScanPatternDate(in, shortDatePattern, date))
        return yearFirst;
    if (!in.AtEnd() && !(in.SkipBlanks() && ScanTime(in, time)))
        return Invalid();
    if (!in.AtEnd())
        return Invalid();
    return MakeDateTime(date.year, date.month, date.day, time.hour, time.minute, time.second);
}

bool SplitDateTime(const DateTimeValue& value, LocalTime& fields) {
    if (!value.IsValid() || !std::isfinite(value.date))
        return false;
    const double seconds = OleToLinear(value.date) * static_cast<double>(kSecondsPerDay);
    // Far outside the calendar; keeps the conversion below defined.
    if (std::fabs(seconds) > 1e15)
        return false;
    const long long total = std::llround(seconds);
    long long days = total / kSecondsPerDay;
    long long secondOfDay = total % kSecondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += kSecondsPerDay;
        --days;
    }
    long long year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days + kOleEpochDays, year, month, day);
    if (year < kMinYear || year > kMaxYear)
        return false;
    fields = LocalTime{};
    fields.year = static_cast<int>(year);
    fields.month = static_cast<int>(month);
    fields.day = static_cast<int>(day);
    fields.hour = static_cast<int>(secondOfDay / 3600);
    fields.minute = static_cast<int>(secondOfDay / 60 % 60);
    fields.second = static_cast<int>(secondOfDay % 60);
    return true;
}

std::string FormatDateTime(const DateTimeValue& value) {
    if (value.status == DateTimeStatus::Null)
        return "";
    LocalTime t;
    if (!SplitDateTime(value, t))
        return kInvalidDateTimeText;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return buffer;
}

std::string DateTimeText(const std::string& text) {
    return FormatDateTime(text.empty() ? CurrentDateTime() : ParseDateTime(text));
}

std::string NowText() {
    return FormatDateTime(CurrentDateTime());
}

bool IsValidDateTime(const std::string& text) {
    return ParseDateTime(text).IsValid();
}

long long DateDiff(char unit, const DateTimeValue& from, const DateTimeValue& to) {
    LocalTime a, b;
    if (!SplitDateTime(from, a) || !SplitDateTime(to, b))
        return 0;
    const long long spanMs = LinearMilliseconds(to) - LinearMilliseconds(from);
    long long unitMs = 0;
    long long raw = 0;
    switch (unit) {
    case 'y':
        raw = b.year - a.year;
        break;
    case 'M':
        raw = (b.year - a.year) * 12LL + b.month - a.month;
        break;
    case 'd':
        unitMs = kMsPerDay;
        break;
    case 'h':
        unitMs = 3600 * kMsPerSecond;
        break;
    case 'm':
    case 'n':
        unitMs = 60 * kMsPerSecond;
        break;
    case 's':
        unitMs = kMsPerSecond;
        break;
    default:
        ShowMessageBox("DateDiff#InvType");
        break;
    }
    if (unitMs > 0) {
        // Half a second counts the span as rounded to whole seconds: a span a hair short of
        // a whole unit still counts it.
        const long long lengthened = spanMs + (spanMs < 0 ? -kHalfSecondMs : kHalfSecondMs);
        raw = lengthened / unitMs; // integer division truncates toward zero
    }
    if (raw < 0)
        return raw - 1;
    if (raw > 0)
        return raw;
    const bool spanUnit = unit != 'y' && unit != 'M';
    return spanUnit && spanMs < 0 ? -1 : 0;
}

long long DateDiffText(char unit, const std::string& fromText, const std::string& toText,
                       const std::string& shortDatePattern) {
    if (fromText.empty() || toText.empty())
        return 0;
    auto prepare = [](const std::string& text) {
        std::string s = TrimBlanks(text);
        const std::size_t dot = s.rfind('.');
        if (dot != std::string::npos && s.size() - dot - 1 == 3)
            s.erase(dot);
        return s;
    };
    const DateTimeValue from = ParseDateTime(prepare(fromText), shortDatePattern);
    const DateTimeValue to = ParseDateTime(prepare(toText), shortDatePattern);
    LocalTime a, b;
    if (!SplitDateTime(from, a) || !SplitDateTime(to, b) || a.year < kDiffYearFloor ||
        b.year < kDiffYearFloor)
        return kDateDiffUnmeasurable;
    return DateDiff(unit, from, to);
}
