// The terminal's status bar is read for the feed guard only when it can matter: ticks 2 s
// apart, a guard period of one minute.
#include "feed/FeedGuard.h"
#include <gtest/gtest.h>

namespace {
const UtcSeconds kWednesday = UtcFromFields(2026, 12, 9, 10, 0, 0);
constexpr int kTickSeconds = 2;

struct GuardRun {
    int reads = 0;
    std::vector<std::string> events; // "disconnected@s", "moving@s"
};

// Prices move on every tick before `stillFrom` and rest from there; the terminal says "No
// connection" from `cutFrom` to `backAt`.
GuardRun Guard(int stillFrom, int cutFrom, int backAt, int seconds) {
    FeedGuard guard(1);
    GuardRun run;
    int moves = 0;
    for (int s = 0; s <= seconds; s += kTickSeconds) {
        if (s > 0 && s < stillFrom)
            ++moves;
        FeedTick tick;
        tick.utc = kWednesday + s;
        tick.local = FieldsFromSeconds(tick.utc);
        tick.prices = {{"EURUSD", "1.1" + std::to_string(100 + moves % 800)}};
        if (guard.StatusDue(tick)) {
            ++run.reads;
            tick.status = s >= cutFrom && s < backAt ? "Default | No connection" : "1234/5 kb";
        }
        if (const auto event = guard.Step(tick))
            run.events.push_back(
                (event->kind == FeedEventKind::EnteredDisconnected ? "disconnected@" : "moving@") +
                std::to_string(s));
    }
    return run;
}
} // namespace

TEST(FeedGuardStatus, ReadWhenPricesRestDuringAnEpisodeAndOncePerGuardPeriod) {
    constexpr int kNever = 1 << 20;
    const struct {
        const char* name;
        int stillFrom, cutFrom, backAt, seconds;
        int reads;
        std::vector<std::string> events;
    } cases[] = {
        {"moving and connected: once a period", kNever, kNever, kNever, 600, 11, {}},
        {"no price moves: every tick", 0, kNever, kNever, 40, 21, {}},
        {"cut while prices still move: told within the period",
         kNever,
         30,
         kNever,
         120,
         2 + 30,
         {"disconnected@60"}},
        {"cut as prices stop: told on that tick", 30, 30, kNever, 40, 1 + 6, {"disconnected@30"}},
        {"followed through the episode to its end",
         kNever,
         30,
         80,
         200,
         2 + 10 + 2,
         {"disconnected@60", "moving@80"}},
    };
    for (const auto& c : cases) {
        const GuardRun run = Guard(c.stillFrom, c.cutFrom, c.backAt, c.seconds);
        EXPECT_EQ(run.events, c.events) << c.name;
        EXPECT_EQ(run.reads, c.reads) << c.name;
    }
}
