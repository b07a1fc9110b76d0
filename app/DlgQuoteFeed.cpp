// The price bar's watch over the feed: each main tick tells the guard what the bar shows
// and what the terminal's status bar says; an episode's start and end reach the trader
// once, through the actions the guard's settings choose, and the history. The outcomes of
// the delivery workers come back here too, for the log and the history.
#include "alerts/AlertStore.h"
#include "alerts/DlgNotify.h"
#include "app/DlgQuote.h"
#include "app/LaterWindows.h"
#include "delivery/DeliveryCenter.h"
#include "delivery/DeliveryQueue.h"
#include "delivery/DeliverySettings.h"
#include "door/AppMessages.h"
#include "feed/FeedGuardKeys.h"
#include "feed/ProgramHistory.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceLookup.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/Log.h"
#include "settings/OptionKeys.h"
#include "settings/TextIds.h"
#include <chrono>
#include <commctrl.h>
#include "settings/LangTable.h"

namespace {
constexpr std::uint32_t kFeedSettingsRereadMs = 30000;
constexpr UtcSeconds kDaySeconds = 24 * 60 * 60;

UtcSeconds UtcNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The account the terminal's title names ("12345678: Demo Broker - ..."), else "Feed".
std::string TerminalAccount() {
    wchar_t title[256] = {};
    const HWND terminal = reinterpret_cast<HWND>(MTHandler().TerminalWindow());
    if (terminal)
        GetWindowTextW(terminal, title, static_cast<int>(std::size(title)));
    const std::string text = Narrow(title);
    const std::string account = TrimBlanks(text.substr(0, text.find(':')));
    return account.empty() || account == text ? GetText(kTextFeedPair) : account;
}

std::string PopupLines(const std::string& text) {
    std::string lines;
    for (const char c : text)
        lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return lines;
}
} // namespace

void CDlgQuote::WatchFeed() {
    ReadFeedSettings();
    if (!feedSettings.enabled || !tableBuilt)
        return;
    FeedTick tick;
    tick.utc = UtcNow() + feedUtcShift;
    tick.local = CurrentClock().Now();
    for (int column = FirstPriceColumn(); column < quoteList.ColumnCount(); ++column)
        tick.prices.push_back({quoteList.ColumnTitle(column), quoteList.ItemText(0, column)});
    if (AppConfig().dataSource == kTerminalDataSource && feedGuard->StatusDue(tick))
        tick.status = statusBar.Read(CurrentDesktop(), MTHandler().TerminalWindow());
    if (const std::optional<FeedEvent> event = feedGuard->Step(tick))
        RaiseFeedEvent(*event);
    ShowFeedQuiet(feedGuard->State() != FeedState::Normal);
}

void CDlgQuote::ReadFeedSettings() {
    const std::uint32_t now = CurrentClock().TickCount();
    if (feedGuard && now - feedSettingsReadAt < kFeedSettingsRereadMs)
        return;
    feedSettingsReadAt = now;
    const FeedGuardSettings fresh = ReadFeedGuardSettings(Config());
    if (!feedGuard || fresh.minutes != feedSettings.minutes)
        feedGuard = std::make_unique<FeedGuard>(fresh.minutes);
    feedSettings = fresh;
    // Tests only: a run on a weekend sees the market open, the hours moved by whole days.
    feedUtcShift = 0;
    if (Config().Get(barkey::kTestMarketOpen) == "1")
        while (!MarketOpen(UtcNow() + feedUtcShift))
            feedUtcShift += kDaySeconds;
}

void CDlgQuote::RaiseFeedEvent(const FeedEvent& event) {
    const std::string text =
        FeedPopupText(event, GetText(kTextFeedStoppedPopup), GetText(kTextFeedTerminalSays),
                      GetText(kTextFeedMovingAgain));
    const std::string who = event.kind == FeedEventKind::EnteredDisconnected
                                ? TerminalAccount()
                                : GetText(kTextFeedPair);
    const std::string when =
        HourMinuteText(event.kind == FeedEventKind::Recovered ? CurrentClock().Now() : event.since);
    WriteLog("FEED:" + text);
    ProgramHistory().Append(GuardEvent(HistoryTimeNow(), event));
    const int actions = feedSettings.actions;
    if (actions & kActionPopup)
        CDlgNotify::Open(who, when, PopupLines(text), [] { ::OpenHistoryWindow(); });
    if (actions & kActionSound)
        CurrentSound().PlayAsync(DefaultSoundFile());
    const AlertNotice notice{who, when, text.substr(0, text.find('\n')), text, NowText()};
    if ((actions & kActionEmail) && LoadMailRoute() == MailRoute::OwnServer &&
        !Config().Get(optkey::kNotifyEmail).empty())
        Deliveries().SendMail(notice);
    if (actions & kActionPhone)
        Deliveries().SendPhone(notice);
}

// Grey prices and a tip saying since when, while no price comes.
void CDlgQuote::ShowFeedQuiet(bool quiet) {
    const std::string tip =
        quiet ? FeedTipText(feedGuard->Since(), GetText(kTextFeedNoPriceSince)) : std::string();
    if (quiet == feedQuiet && tip == feedTip)
        return;
    feedQuiet = quiet;
    feedTip = tip;
    WriteLog(quiet ? "FEED:QUIET:" + tip : "FEED:MOVING");
    quoteList.RedrawAll();
    if (!toolTips)
        return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(quoteList.Handle());
    SendMessageW(toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!quiet)
        return;
    std::wstring text = Widen(tip);
    tool.lpszText = text.data();
    SendMessageW(toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CDlgQuote::ListenForDeliveries() {
    ProgramHistory().Prepare(); // the end of a large history is read now, not on a tick
    const HWND self = Handle();
    Deliveries().SetWake([self] { PostMessageW(self, kDeliveryDoneMessage, 0, 0); });
}

MsgResult CDlgQuote::OnDeliveryDone(MsgWParam, MsgLParam) {
    for (const DeliveryOutcome& outcome : Deliveries().TakeOutcomes()) {
        WriteLog(DeliveryLogLine(outcome));
        ProgramHistory().Append(DeliveryEvent(HistoryTimeNow(), outcome));
    }
    return 0;
}
