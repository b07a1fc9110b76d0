#include "alerts/Evaluation.h"
#include "alerts/AlertNumbers.h"
#include "platform/Clock.h"
#include "settings/Config.h"
#include "settings/DateTime.h"

namespace {
constexpr const char* kDisableAllKey = "disableall";
constexpr char kSeconds = 's';
constexpr char kMinutes = 'n';
constexpr char kDays = 'd';
const std::string kZeroCount = "0";

bool HasLimit(const std::string& alerttimes) {
    return alerttimes != kNoCountInForce && alerttimes != kUnlimited;
}
} // namespace

std::optional<FiredAlert> CAlertBook::CheckNotify(const std::string& symbol,
                                                  const std::string& previous,
                                                  const std::string& current) {
    if (table.loading)
        return std::nullopt;
    if (Config().Get(kDisableAllKey) == "1")
        return std::nullopt;
    // A lost feed or a failed read is no price: nothing is evaluated on it.
    if (!HoldsPrice(previous) || !HoldsPrice(current))
        return std::nullopt;

    const std::string now = NowText();
    bool fired = false;
    bool exhausted = false;
    std::size_t i = 0;
    for (; i < table.Size(); ++i) {
        if (table.enabled[i] != "1" || table.currency[i] != symbol)
            continue;
        exhausted = false;
        const long long condition = LeadingInteger(table.condition[i]);
        if (condition != kEveryPips && !table.lastFired[i].empty() &&
            DateDiffText(kSeconds, table.lastFired[i], now) <= kRefireGuardSeconds)
            continue;

        long long dayDifference = 0;
        if (condition == kTimeOfDay && !table.date[i].empty()) {
            dayDifference = DateDiffText(kDays, table.date[i], now);
            // An unreadable date is not a day that is over: the alert waits, it is not lost.
            const bool dayOver = dayDifference > 0 && dayDifference != kDateDiffUnmeasurable;
            if (dayOver && table.autodelete[i] == "1")
                table.firedCount[i] = table.alerttimes[i];
        }

        if (HasLimit(table.alerttimes[i]) &&
            LeadingInteger(table.firedCount[i]) >= LeadingInteger(table.alerttimes[i])) {
            if (table.autodelete[i] == "1") {
                RemoveExhausted(i);
                continue;
            }
            exhausted = true;
        }

        if (ConditionHolds(i, current, dayDifference)) {
            fired = true;
            break;
        }
    }
    if (!fired || exhausted)
        return std::nullopt;
    return Fire(i, symbol, current);
}

void CAlertBook::RemoveExhausted(std::size_t i) {
    ::DeleteAlert(path, table.id[i]);
    if (list.isActive && list.isActive())
        return;
    if (list.exists && list.exists() && list.refill)
        list.refill();
    else
        ReloadAlerts();
}

bool CAlertBook::ConditionHolds(std::size_t i, const std::string& current,
                                long long dayDifference) {
    const double price = LeadingNumber(current);
    switch (LeadingInteger(table.condition[i])) {
    case kPriceAbove:
    case kPriceBelow: {
        const double level = LeadingNumber(table.price[i]);
        const bool above = LeadingInteger(table.condition[i]) == kPriceAbove;
        if (above ? price > level : price < level)
            return true;
        table.firedCount[i] = kZeroCount;
        return false;
    }
    case kEveryPips:
        return StepHolds(i, current);
    case kEveryMinutes: {
        const std::string now = NowText();
        if (table.lastFired[i].empty())
            table.lastFired[i] = now; // the interval counts from first sight
        const long long interval = LeadingInteger(table.intervalmins[i]);
        return !(interval > 0 && DateDiffText(kMinutes, table.lastFired[i], now) < interval);
    }
    case kTimeOfDay: {
        if (dayDifference != 0)
            return false;
        const LocalTime now = CurrentClock().Now();
        const bool hourDiffers =
            table.hour[i] != kAnyHour && LeadingInteger(table.hour[i]) != now.hour;
        if (hourDiffers || LeadingInteger(table.minute[i]) != now.minute) {
            table.firedCount[i] = kZeroCount;
            return false;
        }
        return true;
    }
    default:
        return false;
    }
}

bool CAlertBook::StepHolds(std::size_t i, const std::string& current) {
    const double price = LeadingNumber(current);
    if (table.startcon[i] == kNoStartCondition)
        table.startpips[i].clear();
    const std::string& start = table.startpips[i];
    std::string& reference = table.reference[i];
    auto startMet = [&] {
        const double level = LeadingNumber(start);
        return table.startcon[i] == "0" ? price > level : price < level;
    };

    bool holds = false;
    if (!start.empty() && reference.empty() && startMet()) {
        reference = current;
        holds = true;
    }
    const long long step = LeadingInteger(table.diffpips[i]);
    if (!reference.empty() && step > 0 && PipDistance(reference, current) >= step) {
        reference = current;
        holds = true;
    }
    if (reference.empty() && start.empty())
        reference = current; // first sight sets the reference without firing
    if (!start.empty() && !startMet()) {
        reference.clear();
        table.firedCount[i] = kZeroCount;
    }
    return holds;
}

FiredAlert CAlertBook::Fire(std::size_t i, const std::string& symbol, const std::string& current) {
    if (HasLimit(table.alerttimes[i]))
        table.firedCount[i] = std::to_string(LeadingInteger(table.firedCount[i]) + 1);
    table.lastFired[i] = NowText();
    FiredAlert alert;
    alert.kind = static_cast<int>(LeadingInteger(table.condition[i]));
    alert.symbol = symbol;
    alert.price = current;
    alert.mode = static_cast<int>(LeadingInteger(table.mode[i]));
    alert.level = table.price[i];
    alert.soundfile = table.soundfile[i];
    alert.speaklen = table.speaklen[i];
    alert.speakname = table.speakname[i];
    alert.traymsg = table.traymsg[i];
    alert.diffpips = table.diffpips[i];
    alert.date = table.date[i];
    alert.hour = table.hour[i];
    alert.minute = table.minute[i];
    alert.startcon = table.startcon[i];
    alert.startpips = table.startpips[i];
    alert.intervalmins = table.intervalmins[i];
    return alert;
}
