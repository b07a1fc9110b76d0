#include "alerts/Evaluation.h"
#include "alerts/AlertNumbers.h"
#include "alerts/ListKeys.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include <limits>

namespace {
constexpr char kSeconds = 's';
constexpr char kMinutes = 'n';
constexpr char kDays = 'd';
const std::string kZeroCount = "0";

bool HasLimit(const std::string& alerttimes) {
    return alerttimes != kNoCountInForce && alerttimes != kUnlimited;
}

std::string CountedOnce(const std::string& count) {
    const long long fired = LeadingInteger(count);
    return std::to_string(fired < std::numeric_limits<long long>::max() ? fired + 1 : fired);
}
} // namespace

std::optional<FiredAlert> CAlertBook::CheckNotify(const std::string& symbol,
                                                  const std::string& previous,
                                                  const std::string& current) {
    if (table.loading)
        return std::nullopt;
    if (Config().Get(listkey::kDisableAll) == "1")
        return std::nullopt;
    // A lost feed or a failed read is no price: nothing is evaluated on it.
    if (!HoldsPrice(previous) || !HoldsPrice(current))
        return std::nullopt;
    const PriceReading price = ReadPrice(current);

    const std::string now = NowText();
    bool fired = false;
    bool exhausted = false;
    std::size_t i = 0;
    for (; i < table.Size(); ++i) {
        AlertRecord& alert = table[i];
        if (alert.enabled != "1" || alert.currency != symbol)
            continue;
        exhausted = false;
        const long long condition = LeadingInteger(alert.condition);
        if (condition != kEveryPips && !alert.lastFired.empty() &&
            DateDiffText(kSeconds, alert.lastFired, now) <= kRefireGuardSeconds)
            continue;

        long long dayDifference = 0;
        if (condition == kTimeOfDay && !alert.date.empty()) {
            dayDifference = DateDiffText(kDays, alert.date, now, UserShortDatePattern());
            // An unreadable date is not a day that is over: the alert waits, it is not lost.
            const bool dayOver = dayDifference > 0 && dayDifference != kDateDiffUnmeasurable;
            if (dayOver && alert.autodelete == "1")
                alert.firedCount = alert.alerttimes;
        }

        if (HasLimit(alert.alerttimes) &&
            LeadingInteger(alert.firedCount) >= LeadingInteger(alert.alerttimes)) {
            if (alert.autodelete == "1") {
                RemoveExhausted(i);
                continue;
            }
            exhausted = true;
        }

        if (ConditionHolds(alert, price, dayDifference)) {
            fired = true;
            break;
        }
    }
    if (!fired || exhausted)
        return std::nullopt;
    return Fire(table[i], symbol, price);
}

void CAlertBook::RemoveExhausted(std::size_t i) {
    ::DeleteAlert(path, table[i].id);
    if (list.isActive && list.isActive())
        return;
    if (list.exists && list.exists() && list.refill)
        list.refill();
    else
        ReloadAlerts();
}

bool CAlertBook::ConditionHolds(AlertRecord& alert, const PriceReading& price,
                                long long dayDifference) {
    switch (LeadingInteger(alert.condition)) {
    case kPriceAbove:
    case kPriceBelow: {
        const double level = LeadingNumber(alert.level);
        const bool above = LeadingInteger(alert.condition) == kPriceAbove;
        if (above ? price.value > level : price.value < level)
            return true;
        alert.firedCount = kZeroCount;
        return false;
    }
    case kEveryPips:
        return StepHolds(alert, price);
    case kEveryMinutes: {
        const std::string now = NowText();
        if (alert.lastFired.empty())
            alert.lastFired = now; // the interval counts from first sight
        const long long interval = LeadingInteger(alert.intervalmins);
        return !(interval > 0 && DateDiffText(kMinutes, alert.lastFired, now) < interval);
    }
    case kTimeOfDay: {
        if (dayDifference != 0)
            return false;
        const LocalTime now = CurrentClock().Now();
        const bool hourDiffers = alert.hour != kAnyHour && LeadingInteger(alert.hour) != now.hour;
        if (hourDiffers || LeadingInteger(alert.minute) != now.minute) {
            alert.firedCount = kZeroCount;
            return false;
        }
        return true;
    }
    default:
        return false;
    }
}

bool CAlertBook::StepHolds(AlertRecord& alert, const PriceReading& price) {
    if (alert.startcon == kNoStartCondition)
        alert.startpips.clear();
    const std::string& start = alert.startpips;
    PriceReading& reference = alert.reference;
    auto startMet = [&] {
        const double level = LeadingNumber(start);
        return alert.startcon == "0" ? price.value > level : price.value < level;
    };

    bool holds = false;
    if (!start.empty() && reference.Empty() && startMet()) {
        reference = price;
        holds = true;
    }
    const long long step = LeadingInteger(alert.diffpips);
    if (!reference.Empty() && step > 0 && PipDistance(reference, price) >= step) {
        reference = price;
        holds = true;
    }
    if (reference.Empty() && start.empty())
        reference = price; // first sight sets the reference without firing
    if (!start.empty() && !startMet()) {
        reference = {};
        alert.firedCount = kZeroCount;
    }
    return holds;
}

FiredAlert CAlertBook::Fire(AlertRecord& alert, const std::string& symbol,
                            const PriceReading& price) {
    if (HasLimit(alert.alerttimes))
        alert.firedCount = CountedOnce(alert.firedCount);
    alert.lastFired = NowText();
    FiredAlert fired;
    static_cast<AlertSettings&>(fired) = alert;
    fired.kind = static_cast<int>(LeadingInteger(alert.condition));
    fired.symbol = symbol;
    fired.price = price.text;
    fired.mode = static_cast<int>(LeadingInteger(alert.mode));
    return fired;
}
