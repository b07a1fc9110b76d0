#pragma once
// The conditions that watch a price over time or the spread: a move within minutes, a
// channel entered or left, and the spread between bid and ask. Each keeps its own state
// per alert and costs the same per tick however long it has run.
#include "alerts/AlertNumbers.h"
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

// Condition codes after the five of older versions, which never fire on these.
inline constexpr int kMoveCondition = 5;
inline constexpr int kChannelCondition = 6;
inline constexpr int kSpreadCondition = 7;

// Keys of the newer conditions and of the end and snooze times; older versions ignore them.
namespace kindkey {
inline constexpr const char* kMovePips = "movepips";
inline constexpr const char* kMoveMinutes = "movemins";
inline constexpr const char* kMoveWay = "moveway"; // kMoveWayUp, kMoveWayDown, kMoveWayEither
inline constexpr const char* kChannelLow = "chanlow";
inline constexpr const char* kChannelHigh = "chanhigh";
inline constexpr const char* kChannelWay = "chanway"; // kChannelEnters, kChannelLeaves
inline constexpr const char* kSpreadPips = "spreadpips";
inline constexpr const char* kUntil = "until";         // "%Y-%m-%d %H:%M:%S"; "" for none
inline constexpr const char* kSnoozed = "snoozeuntil"; // "%Y-%m-%d %H:%M:%S"; "" for none
} // namespace kindkey

enum MoveWay { kMoveWayUp = 0, kMoveWayDown = 1, kMoveWayEither = 2 };
enum ChannelWay { kChannelEnters = 0, kChannelLeaves = 1 };

inline constexpr int kMoveMinMinutes = 1;
inline constexpr int kMoveMaxMinutes = 240;
// A feed that gave no price for this long has a gap, as a reading that is no price has.
inline constexpr std::uint32_t kPriceGapMs = 60000;

// The newer keys of one alert as the file holds them.
struct AlertExtras {
    std::string movepips, movemins, moveway, chanlow, chanhigh, chanway, spreadpips, until, snoozed;
};
// Reads them through any section that answers Get(key).
template <class Section> AlertExtras ReadExtras(const Section& section) {
    using namespace kindkey;
    return {section.Get(kMovePips),   section.Get(kMoveMinutes), section.Get(kMoveWay),
            section.Get(kChannelLow), section.Get(kChannelHigh), section.Get(kChannelWay),
            section.Get(kSpreadPips), section.Get(kUntil),       section.Get(kSnoozed)};
}
// One of them by its key; "" for another key.
std::string ExtraValue(const AlertExtras& extras, const std::string& key);

// The lowest and highest price of the last minutes, each kept as a monotonic queue: every
// price goes in and out once, so a tick costs the same whatever the window holds. Prices
// are whole units of the finest decimal seen, as the step alert counts pips.
class MoveWatch {
public:
    // Takes the price seen at `tickMs` and drops what is older than the window.
    void Add(std::uint32_t tickMs, const PriceReading& price, std::uint32_t windowMs);
    // Units the latest price stands above the lowest / below the highest of the window.
    long long Rise() const;
    long long Fall() const;
    // After a firing the window starts again from the firing price.
    void Restart();
    bool Empty() const { return lows.empty(); }
    std::size_t Held() const { return lows.size() + highs.size(); }

private:
    struct Sample {
        std::uint32_t tickMs;
        long long units;
    };
    void Rescale(int newDecimals);
    std::deque<Sample> lows;  // rising units: the front is the window's lowest
    std::deque<Sample> highs; // falling units: the front is the window's highest
    long long latest = 0;
    int decimals = -1;
};

// Whether the move of the window reaches n units the alert's way.
bool MoveHolds(const MoveWatch& watch, long long pips, int way);

// Which side of a channel the price was last seen on; the first price after a start or a
// gap only sets it.
class ChannelWatch {
public:
    enum class Crossing { None, Entered, Left };
    Crossing See(std::uint32_t tickMs, double price, double low, double high);
    void Forget() { side = Side::Unknown; }

private:
    enum class Side { Unknown, Inside, Outside };
    Side side = Side::Unknown;
    std::uint32_t lastTickMs = 0;
};

// Tenths of a pip from "2.5" ("2" is 20): digits with at most one decimal, nothing else.
std::optional<long long> ParseTenthsOfPip(const std::string& text);
// Ask minus bid in tenths of the symbol's pip (its last shown decimal), from the raw texts
// of both columns (which may carry a fractional pip); nothing when either is no price.
std::optional<long long> SpreadTenths(const std::string& symbol, const std::string& bid,
                                      const std::string& ask);

// Fires once when the spread reaches the level, and again only after it fell below.
class SpreadWatch {
public:
    bool See(long long spreadTenths, long long levelTenths);

private:
    bool armed = true;
};

// The run-time state of the newer conditions, one per alert; it starts afresh at a reload.
struct KindState {
    MoveWatch move;
    ChannelWatch channel;
    SpreadWatch spread;
    bool pending = false; // held while another alert of the pair fired
};

// The bid and ask of one pair as the source gave them; empty when it gives no ask.
struct QuoteSides {
    std::string bid, ask;
};
