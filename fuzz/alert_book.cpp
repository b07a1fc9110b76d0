// The alert records loaded from a fuzzed alerts file and evaluated over a fuzzed sequence of
// prices, with a clock that the input moves.
#include "FakeFiles.h"
#include "FuzzInput.h"
#include "alerts/Evaluation.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "settings/AppConfig.h"
#include "settings/DateTime.h"

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
    const auto parts = InputParts(data, size, 3);
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

        const auto fired = book.CheckNotify(symbol, previous, current);
        if (fired) {
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
