// The price bar's alerts: what a fired alert does, and its snooze.
#include "alerts/Actions.h"
#include "alerts/AlertHold.h"
#include "alerts/AlertListRules.h"
#include "alerts/AlertWindows.h"
#include "alerts/DlgNotify.h"
#include "alerts/KindTexts.h"
#include "alerts/NotifyServices.h"
#include "app/DlgQuote.h"
#include "feed/ProgramHistory.h"
#include "platform/Clock.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/Log.h"

void CDlgQuote::CheckNotify(const std::string& symbol, const std::string& previous,
                            const std::string& price, const QuoteSides* sides) {
    if (cycleStopped)
        return; // a new instance has taken over
    std::optional<FiredAlert> fired;
    Guarded("CheckNotify", Failures(), Reporter(),
            [&] { fired = alerts.CheckNotify(symbol, previous, price, sides); });
    if (!fired)
        return;
    const std::string time = HistoryTimeNow();
    const std::string condition = ConditionText(*fired);
    ProgramHistory().Append(
        FiredEvent(time, fired->symbol, condition, fired->price, ActionNames(fired->mode)));
    // What would disturb in the quiet hours is held back, and the history says what.
    const QuietSplit quiet =
        SplitByQuietHours(fired->mode, ReadQuietHours(Config()), CurrentClock().Now());
    if (quiet.held) {
        ProgramHistory().Append({time, fired->symbol, kHistoryHeld, condition, fired->price,
                                 HeldBackDetails(ActionNames(quiet.held))});
        fired->mode = quiet.kept;
    }
    const FiredAlert alert = *fired;
    Guarded("ShowNotify", Failures(), Reporter(), [&] {
        ShowNotify(alert, PlatformNotifyServices(
                              [this](const std::string& url) {
                                  emailRequests.Send(reinterpret_cast<WindowHandle>(Handle()), url);
                              },
                              [this, alert](SnoozeChoice choice) { SnoozeAlert(alert, choice); }));
    });
}

// A snooze chosen on the alert's popup: kept in its section, recorded, shown in the list.
void CDlgQuote::SnoozeAlert(const FiredAlert& alert, SnoozeChoice choice) {
    const std::string until = SnoozeEnd(choice, CurrentClock().Now());
    if (!alerts.Snooze(alert.id, until))
        return;
    ProgramHistory().Append({HistoryTimeNow(), alert.symbol, kHistorySnoozed, ConditionText(alert),
                             alert.price, SnoozedDetails(until)});
    if (AlertsListExists())
        RefillAlertsListWithReload();
}
