#include "settings/DateTime.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
class FixedClock final : public Clock {
public:
    LocalTime now{2024, 3, 5, 14, 7, 9, 456};
    LocalTime Now() const override { return now; }
    std::uint32_t TickCount() const override { return 0; }
};

class DateTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCurrentClock(&clock);
        SetMessageSink(
            [this](const std::string& text, const std::string&) { boxes.push_back(text); });
    }
    void TearDown() override {
        SetCurrentClock(nullptr);
        SetMessageSink({});
    }

    static DateTimeValue At(const std::string& text) {
        const DateTimeValue value = ParseDateTime(text);
        EXPECT_TRUE(value.IsValid()) << text;
        return value;
    }

    FixedClock clock;
    std::vector<std::string> boxes;
};
} // namespace

TEST_F(DateTimeTest, AcceptedFormsWriteBackInProgramForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"2024-3-5 9:07:09", "2024-03-05 09:07:09"},
        {"2024-3-5 9:7:9", "2024-03-05 09:07:09"},
        {" \t2024/03/05   14:07:09 ", "2024-03-05 14:07:09"},
        {"2024-03-05", "2024-03-05 00:00:00"},
        {"2010-1-1 14:07", "2010-01-01 14:07:00"},
        {"9:07:09", "1899-12-30 09:07:09"},
        {"2024-02-29 23:59:59", "2024-02-29 23:59:59"},
        {"1899-12-29 06:00:00", "1899-12-29 06:00:00"},
        {"9999-12-31 23:59:59", "9999-12-31 23:59:59"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(DateTimeText(text), expected) << text;
}

TEST_F(DateTimeTest, RejectsGarbageAndOutOfRangeFields) {
    for (const char* text :
         {"   ", "abc", "2024-13-01", "2024-02-30", "2023-02-29", "1900-02-29", "2024-04-31",
          "2024-03-05 24:00:00", "2024-03-05 12:60:00", "2024-03-05 12:00:60", "2024-03/05",
          "2024-03-05T14:07:09", "2024-03-05 14:07:09 x", "2024-03-05 14", "24-03-05",
          "12024-03-05", "2024-003-05", "2024-03-05 14:07:09.123", "14:07:09:01"}) {
        EXPECT_FALSE(IsValidDateTime(text)) << text;
        EXPECT_EQ(DateTimeText(text), "Invalid DateTime") << text;
    }
}

TEST_F(DateTimeTest, EmptyTextIsNowFromTheClock) {
    EXPECT_EQ(DateTimeText(""), "2024-03-05 14:07:09");
    EXPECT_EQ(NowText(), "2024-03-05 14:07:09");
    clock.now = LocalTime{2024, 2, 30, 0, 0, 0, 0};
    EXPECT_EQ(DateTimeText(""), "Invalid DateTime");
    EXPECT_EQ(FormatDateTime(DateTimeValue{}), "");
}

TEST_F(DateTimeTest, ValuesAreOleAutomationDates) {
    EXPECT_DOUBLE_EQ(At("1900-01-01").date, 2.0);
    EXPECT_DOUBLE_EQ(At("2024-03-05 18:00:00").date, 45356.75);
    EXPECT_DOUBLE_EQ(At("1899-12-29 06:00:00").date, -1.25);
    EXPECT_DOUBLE_EQ(At("12:00").date, 0.5);
    // The count runs backwards before the epoch, but spans across it stay linear.
    EXPECT_EQ(DateDiff('h', At("1899-12-29 18:00:00"), At("1899-12-30 06:00:00")), 12);
    EXPECT_EQ(DateDiff('h', At("1899-12-28 06:00:00"), At("1899-12-29 18:00:00")), 36);
}

TEST_F(DateTimeTest, SpanUnitsCountWholeUnitsAndLowerNegatives) {
    EXPECT_EQ(DateDiff('m', At("2024-03-05 10:00:00"), At("2024-03-05 10:02:59")), 2);
    EXPECT_EQ(DateDiff('n', At("2024-03-05 10:00:00"), At("2024-03-05 10:02:59")), 2);
    EXPECT_EQ(DateDiff('m', At("2024-03-05 10:02:30"), At("2024-03-05 10:00:00")), -3);
    EXPECT_EQ(DateDiff('m', At("2024-03-05 10:00:30"), At("2024-03-05 10:00:00")), -1);
    EXPECT_EQ(DateDiff('m', At("2024-03-05 10:00:00"), At("2024-03-05 10:00:30")), 0);
    EXPECT_EQ(DateDiff('s', At("2024-03-05 10:00:01"), At("2024-03-05 10:00:00")), -2);
    EXPECT_EQ(DateDiff('d', At("2024-02-28 12:00:00"), At("2024-03-01 11:59:59")), 1);
    EXPECT_EQ(DateDiff('s', At("1950-01-01"), At("9999-12-31 23:59:59")), 254033452799LL);
    // Floating-point day counts must never lose a unit at an exact boundary.
    const DateTimeValue from = At("2024-03-05 10:00:00");
    for (int n = 1; n <= 3 * 86400; n += 7) {
        const int s = 36000 + n;
        const DateTimeValue to =
            MakeDateTime(2024, 3, 5 + s / 86400, s / 3600 % 24, s / 60 % 60, s % 60);
        ASSERT_EQ(DateDiff('s', from, to), n);
        ASSERT_EQ(DateDiff('m', from, to), n / 60);
        ASSERT_EQ(DateDiff('h', from, to), n / 3600);
    }
}

TEST_F(DateTimeTest, CalendarUnitsAndUnknownUnit) {
    EXPECT_EQ(DateDiff('y', At("2024-12-31"), At("2025-01-01")), 1);
    EXPECT_EQ(DateDiff('M', At("2023-11-15"), At("2025-02-01")), 15);
    EXPECT_EQ(DateDiff('y', At("2025-01-01"), At("2024-12-31")), -2);
    // No -1 for a zero count of years or months, even backwards.
    EXPECT_EQ(DateDiff('M', At("2024-06-20"), At("2024-06-01")), 0);
    EXPECT_TRUE(boxes.empty());

    EXPECT_EQ(DateDiff('x', At("2024-03-05"), At("2024-03-06")), 0);
    EXPECT_EQ(DateDiff('x', At("2024-03-06"), At("2024-03-05")), -1);
    EXPECT_EQ(boxes, std::vector<std::string>(2, "DateDiff#InvType"));
}

TEST_F(DateTimeTest, DateDiffTextSentinelsAndMillisecondCut) {
    EXPECT_EQ(DateDiffText('m', "2024-03-05 14:00:00.123", "2024-03-05 14:10:00"), 10);
    EXPECT_EQ(DateDiffText('m', "2024-03-05 14:10:00.999 ", "2024-03-05 14:00:00"), -11);
    EXPECT_EQ(DateDiffText('s', "2024-03-05 14:00:00.12", "2024-03-05 14:10:00"), 11111);
    EXPECT_EQ(DateDiffText('d', "1949-12-31 00:00:00", "2024-01-01 00:00:00"), 11111);
    EXPECT_EQ(DateDiffText('d', "2024-01-01 00:00:00", "1949-12-31 23:59:59"), 11111);
    EXPECT_EQ(DateDiffText('d', "1950-01-01", "1950-01-03"), 2);
    EXPECT_EQ(DateDiffText('m', "14:00:00", "14:10:00"), 11111); // a time alone is in 1899
    EXPECT_EQ(DateDiffText('m', "garbage", "2024-03-05 14:10:00"), 11111);
    EXPECT_EQ(DateDiffText('m', "", "garbage"), 0);
    EXPECT_EQ(DateDiffText('m', "2024-03-05 14:10:00", ""), 0);
}

// The date picker stores dates in the user's short date pattern; year-first texts read as
// before under every pattern.
TEST_F(DateTimeTest, ShortDatePatternsOfTheUsersLanguage) {
    struct Case {
        const char *pattern, *text, *expected; // "" expected: not a valid date
    } cases[] = {
        {"M/d/yyyy", "12/8/2026", "2026-12-08 00:00:00"},
        {"M/d/yyyy", "08/12/2026 14:30", "2026-08-12 14:30:00"},
        {"M/d/yyyy", "13/8/2026", ""},
        {"dd.MM.yyyy", "08.12.2026", "2026-12-08 00:00:00"},
        {"dd.MM.yyyy", "8.12.2026", "2026-12-08 00:00:00"},
        {"dd.MM.yyyy", "31.02.2026", ""},
        {"dd.MM.yyyy", "08/12/2026", ""},
        {"yyyy/M/d", "2026/12/8", "2026-12-08 00:00:00"},
        {"dd/MM/yyyy", "08/12/2026", "2026-12-08 00:00:00"},
        {"dd/MM/yyyy", "08/12/26", ""},
        {"d/M/yy", "8/12/26", "2026-12-08 00:00:00"},
        {"d. M. yyyy", "8. 12. 2026", "2026-12-08 00:00:00"},
        {"dddd, MMMM d, yyyy", "Tuesday, December 8, 2026", ""},
    };
    for (const Case& c : cases) {
        const DateTimeValue value = ParseDateTime(c.text, c.pattern);
        EXPECT_EQ(value.IsValid() ? FormatDateTime(value) : "", c.expected)
            << c.pattern << " " << c.text;
        EXPECT_EQ(FormatDateTime(ParseDateTime("2026-3-5 9:07", c.pattern)), "2026-03-05 09:07:00");
    }
    EXPECT_EQ(DateDiffText('d', "08.12.2026", "2026-12-09 10:00:00", "dd.MM.yyyy"), 1);
    EXPECT_EQ(DateDiffText('d', "08.12.2026", "2026-12-09 10:00:00"), kDateDiffUnmeasurable);
}
