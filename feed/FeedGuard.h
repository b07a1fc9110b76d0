#pragma once
#include "platform/Clock.h"
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Seconds since 1970-01-01 00:00 UTC.
using UtcSeconds = std::int64_t;
UtcSeconds UtcFromFields(int year, int month, int day, int hour, int minute, int second);
// The fields of a count of seconds (UTC, or local time counted the same way).
LocalTime FieldsFromSeconds(UtcSeconds seconds);

// The currency market trades from Sunday 22:00 UTC to Friday 21:00 UTC.
bool MarketOpen(UtcSeconds utc);
// The latest Sunday 22:00 UTC at or before the time.
UtcSeconds LastMarketOpening(UtcSeconds utc);

inline constexpr int kDefaultFeedGuardMinutes = 5;
// Ticks further apart than this mean the program itself was not running (a sleeping
// computer, a clock set back): the quiet time counts afresh from the tick after.
inline constexpr UtcSeconds kFeedGuardTickGapSeconds = 120;

enum class FeedState { Normal, Stopped, Disconnected };
enum class FeedEventKind { EnteredStopped, EnteredDisconnected, Recovered };

struct FeedEvent {
    FeedEventKind kind = FeedEventKind::EnteredStopped;
    LocalTime since;        // local time of the last new price (or of the opening)
    std::string status;     // EnteredDisconnected: the terminal's status text
    int stoppedMinutes = 0; // Recovered: whole minutes without a new price
};

struct PairPrice {
    std::string pair;
    std::string price; // as shown; a text without a non-zero digit is no price
};

// What one main tick saw.
struct FeedTick {
    UtcSeconds utc = 0;
    LocalTime local;
    std::vector<PairPrice> prices;     // the displayed pairs
    std::optional<std::string> status; // the terminal's status bar, when it was read
};

// Watches the feed tick by tick. An episode runs from the first sign of trouble (no pair's
// price changed for the set minutes while the market is open, or a status that says the
// terminal has no connection) until a price moves again with the terminal connected; it
// raises one entering event and one Recovered event. The market's close ends an episode
// without an event, as the weekend raises nothing.
class FeedGuard {
public:
    explicit FeedGuard(int stopMinutes = kDefaultFeedGuardMinutes);

    // Whether the terminal's status is to be read for this tick (asked before Step; a yes
    // counts as read). A terminal whose prices move is connected: the status is read on a
    // tick where no price moved and during an episode, and otherwise once a guard period
    // after the last read, so that a terminal that says it is disconnected while prices still
    // move is told within that period.
    bool StatusDue(const FeedTick& tick);
    std::optional<FeedEvent> Step(const FeedTick& tick);
    void Reset(); // forgets every price, as at start
    void SetStopMinutes(int minutes) { stopMinutes = minutes < 1 ? 1 : minutes; }

    FeedState State() const { return state; }
    const LocalTime& Since() const { return episodeSince; } // while not Normal
    int StopMinutes() const { return stopMinutes; }

private:
    bool TakePrices(const std::vector<PairPrice>& prices);
    bool WouldMove(const std::vector<PairPrice>& prices) const;
    LocalTime LocalAt(const FeedTick& tick, UtcSeconds utc) const;
    std::optional<FeedEvent> Enter(FeedState entered, const FeedTick& tick, UtcSeconds quietFrom);

    int stopMinutes;
    FeedState state = FeedState::Normal;
    std::map<std::string, std::string> lastPrices; // the last real price of each pair seen
    bool watching = false;                         // a real price has been seen
    UtcSeconds countFrom = 0;                      // the last change, or where counting began again
    UtcSeconds lastTick = 0;
    std::optional<UtcSeconds> lastStatusAt; // the last tick the status was due
    UtcSeconds episodeFrom = 0;
    LocalTime episodeSince;
};

// The English texts; the language table holds them with "%s" where the value goes.
inline constexpr const char* kFeedNoPriceSinceText = "No new price since %s";
inline constexpr const char* kFeedStoppedPopupText =
    "No new price since %s.\nCheck the terminal's connection to its server and its account.";
inline constexpr const char* kFeedTerminalSaysText = "The terminal says: %s";
inline constexpr const char* kFeedMovingAgainText = "Prices are moving again (stopped for %s min)";

// The pattern with each "%s" replaced by the next value, in order; a value is never read
// as a pattern itself.
std::string FillText(const std::string& pattern, const std::vector<std::string>& values);
std::string HourMinuteText(const LocalTime& time); // "10:32"

// The texts of an event, in the given patterns (English by default).
std::string FeedTipText(const LocalTime& since, const std::string& pattern = kFeedNoPriceSinceText);
std::string FeedPopupText(const FeedEvent& event,
                          const std::string& stoppedPattern = kFeedStoppedPopupText,
                          const std::string& terminalSaysPattern = kFeedTerminalSaysText,
                          const std::string& movingPattern = kFeedMovingAgainText);
