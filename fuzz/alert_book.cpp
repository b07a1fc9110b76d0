// The alert records loaded from a fuzzed alerts file and evaluated over a fuzzed sequence of
// prices, with a clock that the input moves. Beside them a move watch, a channel and a
// spread see the same prices, each checked against a plain scan of what it has seen.
#include "FakeFiles.h"
#include "FuzzInput.h"
#include "alerts/AlertHold.h"
#include "alerts/AlertKinds.h"
#include "alerts/Evaluation.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "settings/AppConfig.h"
#include "settings/DateTime.h"
#include <limits>

namespace {
constexpr std::size_t kMostPrices = 24;

class InputClock final : public Clock {
public:
    LocalTime now{2026, 12, 8, 14, 29, 50, 0};
    std::uint32_t ticks = 123456;

    LocalTime Now() const override { return now; }
    std::uint32_t TickCount() const override { return ticks; }
    // Up to 199 seconds, or whole hours for a day's alerts.
    void Advance(unsigned char code) {
        const int seconds = code < 200 ? code : (code - 199) * 3600;
        const DateTimeValue moved{DateTimeFromLocalTime(now).date + seconds / 86400.0,
                                  DateTimeStatus::Valid};
        SplitDateTime(moved, now);
        ticks += static_cast<std::uint32_t>(seconds) * 1000u;
    }
};

AppEnvironment Environment() {
    AppEnvironment environment;
    environment.programPath = "C:\\pw\\file\\Pipwarden.exe";
    environment.commandLine = "\"C:\\pw\\file\\Pipwarden.exe\"";
    return environment;
}

// What a move watch must answer, found by looking at every price of its window.
class MoveScan {
public:
    void Add(std::uint32_t tick, const PriceReading& price, std::uint32_t windowMs) {
        decimals = std::max(decimals, price.decimals);
        seen.push_back({tick, price});
        std::vector<std::pair<std::uint32_t, PriceReading>> kept;
        for (const auto& sample : seen)
            if (tick - sample.first <= windowMs)
                kept.push_back(sample);
        seen = kept;
    }
    long long Units(const PriceReading& price) const {
        return Scaled(price.units, decimals - price.decimals);
    }
    long long Rise() const { return Move(true); }
    long long Fall() const { return Move(false); }
    void Restart() { seen.erase(seen.begin(), seen.end() - 1); }

private:
    static long long Scaled(long long units, int steps) {
        constexpr long long kLargest = std::numeric_limits<long long>::max();
        for (int i = 0; i < steps && units != 0; ++i) {
            if (units > kLargest / 10 || units < -(kLargest / 10))
                return units < 0 ? -kLargest : kLargest;
            units *= 10;
        }
        return units;
    }
    long long Move(bool rise) const {
        const long long latest = Units(seen.back().second);
        long long extreme = latest;
        for (const auto& sample : seen)
            extreme = rise ? std::min(extreme, Units(sample.second))
                           : std::max(extreme, Units(sample.second));
        const __int128 move = rise ? static_cast<__int128>(latest) - extreme
                                   : static_cast<__int128>(extreme) - latest;
        return static_cast<long long>(
            std::min<__int128>(move, std::numeric_limits<long long>::max()));
    }
    int decimals = -1;
    std::vector<std::pair<std::uint32_t, PriceReading>> seen;
};

bool Limited(const AlertRecord& alert) {
    return alert.alerttimes != kNoCountInForce && alert.alerttimes != kUnlimited;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CAppConfig app(Environment());
    static const bool ready = [] {
        SetAppConfig(&app);
        SetMessageSink([](const std::string&, const std::string&) {});
        return true;
    }();
    (void)ready;
    const auto parts = InputParts(data, size, 4);
    FakeFiles files;
    SetFiles(&files);
    InputClock clock;
    SetCurrentClock(&clock);
    files.files[app.alertsPath] = parts[0];

    CAlertBook book(app.alertsPath);
    book.ReloadAlerts();
    std::string symbol = parts[2];
    if (symbol.empty())
        symbol = book.Table().Size() > 0 ? book.Table()[0].currency : "EURUSD";

    // The fourth part shapes the watches: the window, the move's pips and way, the channel.
    const std::string& shape = parts[3];
    const auto shapeByte = [&](std::size_t i) {
        return i < shape.size() ? static_cast<unsigned char>(shape[i]) : 0u;
    };
    const std::uint32_t windowMs = (1u + shapeByte(0) % kMoveMaxMinutes) * 60000u;
    const long long movePips = shapeByte(1);
    const int moveWay = static_cast<int>(shapeByte(2) % 3);
    const double channelLow = 1.0 + shapeByte(3) / 100.0;
    const double channelHigh = 1.0 + shapeByte(4) / 100.0;
    MoveWatch move;
    MoveScan scan;
    ChannelWatch channel;
    std::uint32_t lastPriceTick = clock.ticks;
    bool channelSideKnown = false;

    bool sidesSeen = false;
    std::string previous = "1.2000";
    std::size_t start = 0, count = 0;
    const std::string& prices = parts[1];
    while (start < prices.size() && count++ < kMostPrices) {
        std::size_t end = prices.find('\n', start);
        if (end == std::string::npos)
            end = prices.size();
        clock.Advance(static_cast<unsigned char>(prices[start]));
        const std::string current = prices.substr(start + 1, end - start - (end > start));
        start = end + 1;

        if (HoldsPrice(current)) {
            const PriceReading reading = ReadPrice(current);
            move.Add(clock.ticks, reading, windowMs);
            scan.Add(clock.ticks, reading, windowMs);
            FUZZ_CHECK(move.Rise() == scan.Rise() && move.Fall() == scan.Fall());
            if (MoveHolds(move, movePips, moveWay)) {
                move.Restart();
                scan.Restart();
            }
            // Nothing crosses at first sight or after a minute without prices.
            const bool sideKnown = channelSideKnown && clock.ticks - lastPriceTick <= kPriceGapMs;
            const auto crossing = channel.See(clock.ticks, reading.value, channelLow, channelHigh);
            FUZZ_CHECK(sideKnown || crossing == ChannelWatch::Crossing::None);
            channelSideKnown = true;
            lastPriceTick = clock.ticks;
            const auto spread = SpreadTenths(symbol, previous, current);
            FUZZ_CHECK(spread.has_value() == HoldsPrice(previous));
        } else {
            channel.Forget();
            channelSideKnown = false;
        }

        // Every other price comes with both sides, as from a terminal.
        const QuoteSides sides{previous, current};
        const bool withSides = count % 2 == 0;
        sidesSeen = sidesSeen || withSides;
        const auto fired =
            book.CheckNotify(symbol, previous, current, withSides ? &sides : nullptr);
        if (fired) {
            // No spread before both prices came (one seen while another alert fired rings
            // later); nothing snoozed or past its end.
            FUZZ_CHECK(sidesSeen || fired->kind != kSpreadCondition);
            FUZZ_CHECK(!StillSnoozed(fired->extras.snoozed, CurrentDateTime()));
            FUZZ_CHECK(!PastUntil(fired->extras.until, CurrentDateTime()));
            // A lost feed or a failed read never sets an alert off.
            FUZZ_CHECK(HoldsPrice(previous) && HoldsPrice(current));
            FUZZ_CHECK(fired->symbol == symbol && fired->price == current);
        }
        for (const AlertRecord& alert : book.Table().alerts)
            if (Limited(alert))
                FUZZ_CHECK(LeadingInteger(alert.firedCount) <=
                           std::max(0LL, LeadingInteger(alert.alerttimes)));
        previous = current;
    }
    SetCurrentClock(nullptr);
    SetFiles(nullptr);
    return 0;
}
