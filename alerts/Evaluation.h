#pragma once
#include "alerts/AlertStore.h"
#include <functional>
#include <optional>
#include <string>

// A firing alert, as the notification actions need it: its settings, the pair and the
// price that set it off.
struct FiredAlert : AlertSettings {
    int kind = 0;   // the alert's condition code
    std::string id; // the alert's section, which a snooze from its popup holds
    std::string symbol, price;
    int mode = 0;
};

// A non-step alert never fires again within this many seconds of its last firing.
inline constexpr long long kRefireGuardSeconds = 5;

// What the evaluation needs from the alerts list window (which may not exist).
struct AlertsListHooks {
    std::function<bool()> isActive; // the current top-level owner window
    std::function<bool()> exists;
    std::function<void()> refill; // refills the list and reloads the table
};

// The main window's alert table with the evaluation over it.
class CAlertBook {
public:
    CAlertBook() = default;
    explicit CAlertBook(std::string alertsPath) : path(std::move(alertsPath)) {}

    void SetPath(const std::string& alertsPath) { path = alertsPath; }
    void SetListHooks(AlertsListHooks hooks) { list = std::move(hooks); }

    void ReloadAlerts();

    // Evaluates the alerts of one pair against its new price; the first that holds is
    // returned for the actions, with its fired count and time already updated. `sides`
    // carries the pair's bid and ask for its spread alerts; without it they wait.
    std::optional<FiredAlert> CheckNotify(const std::string& symbol, const std::string& previous,
                                          const std::string& current,
                                          const QuoteSides* sides = nullptr);
    // Whether the pair has a spread alert, for which the source reads the other price too.
    bool WatchesSpread(const std::string& symbol) const;
    // Holds the alert until then, also across a restart; false when it is gone.
    bool Snooze(const std::string& id, const std::string& until);

    const CAlertTable& Table() const { return table; }
    CAlertTable& Table() { return table; }

private:
    void RemoveExhausted(std::size_t i);
    void Expire(std::size_t i);
    void ShowChange();
    void ForgetSides(const std::string& symbol);
    bool ConditionHolds(AlertRecord& alert, const PriceReading& price, long long dayDifference);
    bool KindHolds(AlertRecord& alert, const std::string& symbol, const PriceReading& price,
                   const QuoteSides* sides);
    bool StepHolds(AlertRecord& alert, const PriceReading& price);
    FiredAlert Fire(AlertRecord& alert, const std::string& symbol, const PriceReading& price);

    std::string path;
    CAlertTable table;
    AlertsListHooks list;
    std::string spreadPairs;  // ",EURUSD,GBPUSD," of the spread alerts
    std::uint32_t tickMs = 0; // this evaluation's tick count
};
