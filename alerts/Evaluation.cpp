#include "alerts/Evaluation.h"
#include "alerts/AlertHold.h"
#include "alerts/AlertNumbers.h"
#include "alerts/ListKeys.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include <algorithm>
#include <limits>

namespace {
constexpr char kSeconds = 's';
constexpr char kMinutes = 'n';
constexpr char kDays = 'd';
const std::string kZeroCount = "0";

bool HasLimit(const std::string& alerttimes) {
    return alerttimes != kNoCountInForce && alerttimes != kUnlimited;
}

// The newer conditions fire on events (a move, a crossing, a widening), which the refire
// guard would let pass unseen.
bool IsEventCondition(long long condition) {
    return condition == kEveryPips || condition == kMoveCondition ||
           condition == kChannelCondition || condition == kSpreadCondition;
}

std::uint32_t MoveWindowMs(const AlertRecord& alert) {
    const long long minutes = std::clamp<long long>(LeadingInteger(alert.extras.movemins),
                                                    kMoveMinMinutes, kMoveMaxMinutes);
    return static_cast<std::uint32_t>(minutes) * 60000u;
}

// Every move alert of the pair sees every price, also when another alert fires first.
void SeeMove(AlertRecord& alert, const std::string& symbol, const PriceReading& price,
             std::uint32_t tickMs) {
    if (alert.enabled == "1" && alert.currency == symbol &&
        LeadingInteger(alert.condition) == kMoveCondition)
        alert.kinds.move.Add(tickMs, price, MoveWindowMs(alert));
}

std::string CountedOnce(const std::string& count) {
    const long long fired = LeadingInteger(count);
    return std::to_string(fired < std::numeric_limits<long long>::max() ? fired + 1 : fired);
}
} // namespace

std::optional<FiredAlert> CAlertBook::CheckNotify(const std::string& symbol,
                                                  const std::string& previous,
                                                  const std::string& current,
                                                  const QuoteSides* sides) {
    if (table.loading)
        return std::nullopt;
    if (Config().Get(listkey::kDisableAll) == "1")
        return std::nullopt;
    // A lost feed or a failed read is no price: nothing is evaluated on it.
    if (!HoldsPrice(previous) || !HoldsPrice(current)) {
        ForgetSides(symbol);
        return std::nullopt;
    }
    const PriceReading price = ReadPrice(current);

    const std::string now = NowText();
    const DateTimeValue nowValue = CurrentDateTime();
    tickMs = CurrentClock().TickCount();
    bool fired = false;
    bool exhausted = false;
    std::size_t i = 0;
    for (; i < table.Size(); ++i) {
        AlertRecord& alert = table[i];
        if (alert.enabled != "1" || alert.currency != symbol)
            continue;
        exhausted = false;
        if (PastUntil(alert.extras.until, nowValue)) {
            Expire(i);
            return std::nullopt; // the table has been read again
        }
        SeeMove(alert, symbol, price, tickMs);
        const long long condition = LeadingInteger(alert.condition);
        if (!IsEventCondition(condition) && !alert.lastFired.empty() &&
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

        bool holds = false;
        if (condition >= kMoveCondition) {
            holds = KindHolds(alert, symbol, price, sides) || alert.kinds.pending;
            alert.kinds.pending = false;
        } else {
            holds = ConditionHolds(alert, price, dayDifference);
        }
        // A snoozed alert keeps watching, so that it does not ring late for what it saw.
        if (holds && !StillSnoozed(alert.extras.snoozed, nowValue)) {
            fired = true;
            break;
        }
    }
    if (!fired)
        return std::nullopt;
    // The alerts after the one that fires still see this price: an event they find now
    // rings on their next refresh instead of being lost.
    for (std::size_t j = i + 1; j < table.Size(); ++j) {
        AlertRecord& later = table[j];
        SeeMove(later, symbol, price, tickMs);
        if (later.enabled == "1" && later.currency == symbol &&
            LeadingInteger(later.condition) >= kMoveCondition &&
            KindHolds(later, symbol, price, sides))
            later.kinds.pending = true;
    }
    if (exhausted)
        return std::nullopt;
    const FiredAlert firing = Fire(table[i], symbol, price);
    // Spent by this firing, an alert that deletes itself goes now: left to the next refresh,
    // an exit in between would let it ring again after the next start.
    const AlertRecord& alert = table[i];
    if (alert.autodelete == "1" && HasLimit(alert.alerttimes) &&
        LeadingInteger(alert.firedCount) >= LeadingInteger(alert.alerttimes))
        RemoveExhausted(i);
    return firing;
}

void CAlertBook::ReloadAlerts() {
    ::ReloadAlerts(table, path);
    spreadPairs.assign(1, ',');
    for (const AlertRecord& alert : table.alerts)
        if (alert.enabled == "1" && LeadingInteger(alert.condition) == kSpreadCondition &&
            !ListHasEntry(spreadPairs, alert.currency))
            spreadPairs += alert.currency + ",";
}

bool CAlertBook::WatchesSpread(const std::string& symbol) const {
    return !symbol.empty() && ListHasEntry(spreadPairs, symbol);
}

bool CAlertBook::Snooze(const std::string& id, const std::string& until) {
    if (!WriteSnooze(path, id, until))
        return false;
    for (AlertRecord& alert : table.alerts)
        if (alert.id == id)
            alert.extras.snoozed = until;
    return true;
}

void CAlertBook::ForgetSides(const std::string& symbol) {
    for (AlertRecord& alert : table.alerts)
        if (alert.currency == symbol)
            alert.kinds.channel.Forget();
}

// Past its end time an alert goes as an exhausted one would: deleted when it deletes
// itself, else switched off.
void CAlertBook::Expire(std::size_t i) {
    if (table[i].autodelete == "1")
        ::DeleteAlert(path, table[i].id);
    else
        SwitchAlertOff(path, table[i].id);
    // Off in the table too, for as long as an active list window puts the reload off: the
    // file is not written again on every tick.
    table[i].enabled = "0";
    ShowChange();
}

bool CAlertBook::KindHolds(AlertRecord& alert, const std::string& symbol, const PriceReading& price,
                           const QuoteSides* sides) {
    KindState& kinds = alert.kinds;
    switch (LeadingInteger(alert.condition)) {
    case kMoveCondition: {
        if (!MoveHolds(kinds.move, LeadingInteger(alert.extras.movepips),
                       static_cast<int>(LeadingInteger(alert.extras.moveway))))
            return false;
        kinds.move.Restart();
        return true;
    }
    case kChannelCondition: {
        const auto crossing =
            kinds.channel.See(tickMs, price.value, LeadingNumber(alert.extras.chanlow),
                              LeadingNumber(alert.extras.chanhigh));
        const bool leaves = alert.extras.chanway == "1";
        return crossing ==
               (leaves ? ChannelWatch::Crossing::Left : ChannelWatch::Crossing::Entered);
    }
    case kSpreadCondition: {
        const auto level = ParseTenthsOfPip(alert.extras.spreadpips);
        const auto spread = sides ? SpreadTenths(symbol, sides->bid, sides->ask) : std::nullopt;
        // Without both prices the alert waits, armed as it was.
        return level && *level > 0 && spread && kinds.spread.See(*spread, *level);
    }
    default:
        return false;
    }
}

void CAlertBook::RemoveExhausted(std::size_t i) {
    ::DeleteAlert(path, table[i].id);
    ShowChange();
}

void CAlertBook::ShowChange() {
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
    fired.id = alert.id;
    fired.symbol = symbol;
    fired.price = price.text;
    fired.mode = static_cast<int>(LeadingInteger(alert.mode));
    return fired;
}
