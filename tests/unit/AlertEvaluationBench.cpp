// The cost of the alert evaluation in one main tick, printed for scripts/bench.sh. Disabled
// in the test run: it measures, it does not judge.
#include "AlertTestWorld.h"
#include "alerts/Evaluation.h"
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {
constexpr int kAlerts = 2000;
constexpr int kTicks = 300;
const char* const kPairs[] = {"EURUSD", "GBPUSD", "USDJPY", "AUDUSD",
                              "USDCHF", "USDCAD", "NZDUSD", "EURGBP"};

// Every kind in turn, each set so that it watches without firing: the full scan of a tick.
std::string MixedAlerts() {
    const char* const kinds[] = {
        "condition=0\r\nprice=9.9\r\n",
        "condition=1\r\nprice=0.1\r\n",
        "condition=2\r\ndiffpips=5000\r\nstartcon=-1\r\n",
        "condition=3\r\nintervalmins=600\r\n",
        "condition=4\r\ndate=\r\nhour=03\r\nminute=07\r\n",
        "condition=5\r\nmovepips=500\r\nmovemins=240\r\nmoveway=2\r\n",
        "condition=6\r\nchanlow=5.0\r\nchanhigh=6.0\r\nchanway=0\r\n",
        "condition=7\r\nspreadpips=50\r\n",
    };
    std::string file;
    for (int i = 0; i < kAlerts; ++i) {
        const std::string pair = kPairs[i % 8];
        file += "[" + pair + std::to_string(i) + "]\r\ncurrency=" + pair + "\r\nenabled=1\r\n" +
                kinds[(i / 8) % 8] + "mode=1\r\nalerttimes=-2\r\nautodelete=0\r\n" +
                (i % 5 == 0 ? "until=2099-01-01 00:00:00\r\n" : "");
    }
    return file;
}

class AlertBench : public AlertWorld {};
} // namespace

TEST_F(AlertBench, DISABLED_TwoThousandMixedAlertsPerTick) {
    files.files[alertsPath] = MixedAlerts();
    CAlertBook book(alertsPath);
    book.ReloadAlerts();
    ASSERT_EQ(book.Table().Size(), static_cast<std::size_t>(kAlerts));
    std::vector<double> micros;
    for (int tick = 0; tick < kTicks; ++tick) {
        clock.Advance(2);
        const std::string price = tick % 2 ? "1.23456" : "1.23466";
        const QuoteSides sides{price, "1.23481"};
        const auto start = std::chrono::steady_clock::now();
        for (const char* pair : kPairs)
            EXPECT_FALSE(book.CheckNotify(pair, "1.23450", price,
                                          book.WatchesSpread(pair) ? &sides : nullptr));
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("alert evaluation: %d alerts of 8 kinds on 8 pairs, one tick: median %.0f us, "
                "90th percentile %.0f us\n",
                kAlerts, micros[micros.size() / 2], micros[micros.size() * 9 / 10]);
}
