#include "alerts/AlertKinds.h"
#include "alerts/AlertHold.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
constexpr std::uint32_t kSecond = 1000;

struct Tick {
    int secondsLater;
    const char* price;
};

// Runs a move alert as the evaluation does: the price goes in, the move is measured, and a
// firing starts the window again.
std::vector<bool> MoveFirings(int way, long long pips, int minutes, const std::vector<Tick>& ticks,
                              std::uint32_t start = 5000) {
    MoveWatch watch;
    std::uint32_t now = start;
    std::vector<bool> fired;
    for (const Tick& tick : ticks) {
        now += static_cast<std::uint32_t>(tick.secondsLater) * kSecond;
        watch.Add(now, ReadPrice(tick.price), static_cast<std::uint32_t>(minutes) * 60 * kSecond);
        fired.push_back(MoveHolds(watch, pips, way));
        if (fired.back())
            watch.Restart();
    }
    return fired;
}
} // namespace

TEST(AlertKinds, MoveMeasuresFromTheExtremeOfItsWindow) {
    const struct {
        const char* name;
        int way, pips, minutes;
        std::vector<Tick> ticks;
        std::vector<bool> fired;
        std::uint32_t start = 5000;
    } cases[] = {
        {"exactly n pips up",
         kMoveWayUp,
         30,
         15,
         {{0, "1.2000"}, {60, "1.2029"}, {60, "1.2030"}},
         {false, false, true}},
        {"a fall is no rise", kMoveWayUp, 30, 15, {{0, "1.2030"}, {60, "1.2000"}}, {false, false}},
        {"down from the highest",
         kMoveWayDown,
         20,
         15,
         {{0, "1.2000"}, {60, "1.2010"}, {60, "1.1995"}, {60, "1.1990"}},
         {false, false, false, true}},
        {"either way",
         kMoveWayEither,
         20,
         15,
         {{0, "1.2000"}, {60, "1.1980"}, {60, "1.2000"}},
         {false, true, true}},
        // The low of 1.2000 leaves the window after 15 minutes; from 1.2020 it is 10 pips.
        {"the window slides past the old low",
         kMoveWayUp,
         30,
         15,
         {{0, "1.2000"}, {600, "1.2020"}, {301, "1.2030"}},
         {false, false, false}},
        {"still inside the window",
         kMoveWayUp,
         30,
         15,
         {{0, "1.2000"}, {600, "1.2020"}, {300, "1.2030"}},
         {false, false, true}},
        // One move rings once: the next is measured from the firing price.
        {"after a firing from the firing price",
         kMoveWayUp,
         30,
         15,
         {{0, "1.2000"}, {60, "1.2030"}, {60, "1.2050"}, {60, "1.2060"}},
         {false, true, false, true}},
        // A gap in the prices: nothing came for 20 minutes, the old prices are gone.
        {"a gap longer than the window",
         kMoveWayUp,
         30,
         15,
         {{0, "1.2000"}, {1200, "1.2040"}},
         {false, false}},
        {"coarser and finer quotes",
         kMoveWayUp,
         30,
         15,
         {{0, "1.20"}, {60, "1.2030"}},
         {false, true}},
        {"yen pair", kMoveWayDown, 25, 5, {{0, "110.50"}, {60, "110.25"}}, {false, true}},
        {"the tick count wraps",
         kMoveWayUp,
         30,
         15,
         {{0, "1.2000"}, {60, "1.2030"}},
         {false, true},
         0xFFFFFFFFu - 30 * kSecond},
        {"no step, no firing",
         kMoveWayEither,
         0,
         15,
         {{0, "1.2000"}, {60, "1.3000"}},
         {false, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MoveFirings(c.way, c.pips, c.minutes, c.ticks, c.start), c.fired) << c.name;
}

TEST(AlertKinds, MoveHoldsOnlyThePricesOfItsWindow) {
    MoveWatch watch;
    std::uint32_t now = 0;
    // A steady rise for a day at one price every 2 seconds in a one-minute window.
    for (int i = 0; i < 43200; ++i) {
        now += 2 * kSecond;
        watch.Add(now, ReadPrice("1." + std::to_string(100000 + i)), 60 * kSecond);
        ASSERT_LE(watch.Held(), 32u) << i;
    }
    EXPECT_EQ(watch.Rise(), 30);
}

TEST(AlertKinds, ChannelFiresOnCrossingsOnlyAfterItsSideIsKnown) {
    const struct {
        const char* name;
        std::vector<std::pair<int, double>> ticks; // seconds later, price
        std::vector<ChannelWatch::Crossing> seen;
    } cases[] = {
        {"first sight inside sets the side", {{2, 1.25}, {2, 1.26}}, {}},
        {"first sight outside, then in and out",
         {{2, 1.19}, {2, 1.20}, {2, 1.31}},
         {ChannelWatch::Crossing::Entered, ChannelWatch::Crossing::Left}},
        {"the edges are inside",
         {{2, 1.30}, {2, 1.3001}, {2, 1.2}},
         {ChannelWatch::Crossing::Left, ChannelWatch::Crossing::Entered}},
        {"a minute without prices is a gap",
         {{2, 1.19}, {61, 1.25}, {2, 1.35}},
         {ChannelWatch::Crossing::Left}},
    };
    for (const auto& c : cases) {
        ChannelWatch watch;
        std::uint32_t now = 1000;
        std::vector<ChannelWatch::Crossing> seen;
        for (const auto& [seconds, price] : c.ticks) {
            now += static_cast<std::uint32_t>(seconds) * kSecond;
            // The bounds given either way round.
            const auto crossing = watch.See(now, price, 1.30, 1.20);
            if (crossing != ChannelWatch::Crossing::None)
                seen.push_back(crossing);
        }
        EXPECT_EQ(seen, c.seen) << c.name;
    }
    ChannelWatch watch;
    watch.See(1000, 1.19, 1.2, 1.3);
    watch.Forget(); // a reading that was no price
    EXPECT_EQ(watch.See(2000, 1.25, 1.2, 1.3), ChannelWatch::Crossing::None);
}

TEST(AlertKinds, SpreadInTenthsOfTheShownPip) {
    const struct {
        const char* symbol;
        const char* bid;
        const char* ask;
        std::optional<long long> tenths;
    } cases[] = {
        {"EURUSD", "1.23456", "1.23481", 25},
        {"EURUSD", "1.2345", "1.2347", 20},
        {"USDJPY", "110.123", "110.141", 18},
        {"XAUUSD", "1950.23", "1950.58", 35},
        {"EURUSD", "1.23456", "1.2346", 4},
        {"EURUSD", "1.2345", "", std::nullopt},
        {"EURUSD", "1.2345", "Not Found", std::nullopt},
        {"EURUSD", "Error", "1.2345", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpreadTenths(c.symbol, c.bid, c.ask), c.tenths) << c.bid << " " << c.ask;

    const std::pair<const char*, std::optional<long long>> levels[] = {{"2.5", 25},
                                                                       {"3", 30},
                                                                       {" 0.8 ", 8},
                                                                       {".5", 5},
                                                                       {"2.", 20},
                                                                       {"2.55", std::nullopt},
                                                                       {"", std::nullopt},
                                                                       {"-1", std::nullopt},
                                                                       {"1e3", std::nullopt},
                                                                       {"1.2.3", std::nullopt},
                                                                       {"12345678", std::nullopt}};
    for (const auto& [text, tenths] : levels)
        EXPECT_EQ(ParseTenthsOfPip(text), tenths) << text;

    SpreadWatch watch;
    std::vector<bool> fired;
    for (long long spread : {10, 25, 30, 24, 25})
        fired.push_back(watch.See(spread, 25));
    EXPECT_EQ(fired, (std::vector<bool>{false, true, false, false, true}));
}

TEST(AlertKinds, EndAndSnoozeTimes) {
    const DateTimeValue beforeMidnight = MakeDateTime(2026, 12, 8, 23, 59, 30);
    const DateTimeValue afterMidnight = MakeDateTime(2026, 12, 9, 0, 0, 30);
    EXPECT_FALSE(PastUntil("2026-12-09 00:00:00", beforeMidnight));
    EXPECT_TRUE(PastUntil("2026-12-09 00:00:00", afterMidnight));
    EXPECT_TRUE(PastUntil("2026-12-09 00:00:30", afterMidnight));
    for (const char* never : {"", "garbage", "2026-13-40 00:00:00"})
        EXPECT_FALSE(PastUntil(never, afterMidnight)) << never;

    EXPECT_TRUE(StillSnoozed("2026-12-09 00:00:00", beforeMidnight));
    EXPECT_FALSE(StillSnoozed("2026-12-09 00:00:00", afterMidnight));
    EXPECT_FALSE(StillSnoozed("", beforeMidnight));

    const LocalTime lastEvening{2026, 12, 31, 23, 50, 10, 0};
    EXPECT_EQ(SnoozeEnd(SnoozeChoice::QuarterHour, lastEvening), "2027-01-01 00:05:10");
    EXPECT_EQ(SnoozeEnd(SnoozeChoice::Hour, lastEvening), "2027-01-01 00:50:10");
    EXPECT_EQ(SnoozeEnd(SnoozeChoice::Tomorrow, lastEvening), "2027-01-01 00:00:00");
}

TEST(AlertKinds, QuietHoursOverMidnight) {
    const std::pair<const char*, std::optional<int>> times[] = {
        {"22:00", 1320},        {"7:05", 425},           {" 00:00 ", 0},
        {"23:59", 1439},        {"24:00", std::nullopt}, {"12:60", std::nullopt},
        {"12", std::nullopt},   {"1:5", std::nullopt},   {"-1:30", std::nullopt},
        {"ab:cd", std::nullopt}};
    for (const auto& [text, minutes] : times)
        EXPECT_EQ(ParseClockTime(text), minutes) << text;
    EXPECT_EQ(ClockTimeText(425), "07:05");

    QuietHours night;
    night.on = true; // 22:00 to 07:00, voice and sound
    QuietHours day = night;
    day.from = 12 * 60;
    day.to = 13 * 60;
    const struct {
        const QuietHours& quiet;
        int hour, minute;
        bool quietNow;
    } cases[] = {
        {night, 21, 59, false}, {night, 22, 0, true}, {night, 23, 59, true},
        {night, 0, 0, true},    {night, 6, 59, true}, {night, 7, 0, false},
        {day, 12, 30, true},    {day, 13, 0, false},  {day, 11, 59, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InQuietHours(c.quiet, {2026, 12, 8, c.hour, c.minute, 0, 0}), c.quietNow)
            << c.hour << ":" << c.minute;

    const LocalTime midnight{2026, 12, 9, 0, 30, 0, 0};
    const QuietSplit split = SplitByQuietHours(1 | 2 | 4 | 8, night, midnight);
    EXPECT_EQ(split.kept, 1 | 8);
    EXPECT_EQ(split.held, 2 | 4);
    QuietHours off = night;
    off.on = false;
    EXPECT_EQ(SplitByQuietHours(7, off, midnight).held, 0);
    QuietHours empty = night;
    empty.to = empty.from;
    EXPECT_EQ(SplitByQuietHours(7, empty, midnight).held, 0);
}
