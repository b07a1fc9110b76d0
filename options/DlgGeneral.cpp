#include "options/DlgGeneral.h"
#include "alerts/AlertHold.h"
#include "alerts/AlertStore.h"
#include "common/StartupRules.h"
#include "feed/FeedGuard.h"
#include "feed/FeedGuardKeys.h"
#include "options/DlgOptSource.h"
#include "options/OptionRules.h"
#include "platform/AlertControls.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "quotes/QuoteKeys.h"
#include "resources/resource.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/KindTextIds.h"
#include "settings/Log.h"
#include "settings/OptionKeys.h"
#include "settings/SysPaths.h"
#include "settings/TextIds.h"
#include <algorithm>
#include <commctrl.h>
#include "settings/LangTable.h"

namespace {
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "Tickmon";
constexpr const char* kSecondsItems[] = {"5", "10", "20", "30", "60"};
constexpr const char* kTerminalProgram = "terminal.exe";
constexpr int kBrowseTextEntry = 0;
struct FeedAction {
    int id, bit, text;
};
constexpr FeedAction kFeedActions[] = {{IDC_FEED_POPUP, kActionPopup, kTextNotification},
                                       {IDC_FEED_SOUND, kActionSound, kTextSound},
                                       {IDC_FEED_EMAIL, kActionEmail, kTextEmail},
                                       {IDC_FEED_PHONE, kActionPhone, kTextPhone}};
constexpr FeedAction kQuietActions[] = {{IDC_QUIET_VOICE, kActionVoice, kTextVoice},
                                        {IDC_QUIET_SOUND, kActionSound, kTextSound},
                                        {IDC_QUIET_POPUP, kActionPopup, kTextNotification},
                                        {IDC_QUIET_EMAIL, kActionEmail, kTextEmail},
                                        {IDC_QUIET_PHONE, kActionPhone, kTextPhone}};
constexpr const wchar_t* kClockFormat = L"HH':'mm";

void SetClockPicker(HWND picker, int minutes) {
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(kClockFormat));
    SYSTEMTIME time{};
    GetLocalTime(&time);
    time.wHour = static_cast<WORD>(minutes / 60);
    time.wMinute = static_cast<WORD>(minutes % 60);
    time.wSecond = time.wMilliseconds = 0;
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

int ClockPickerMinutes(HWND picker) {
    SYSTEMTIME time{};
    if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
        return -1;
    return time.wHour * 60 + time.wMinute;
}
} // namespace

const MessageMap<CDlgGeneral> CDlgGeneral::messages = {
    onMessage(WM_INITDIALOG, &CDlgGeneral::OnInitDialog, "OnInitDialog"),
    onCommand(IDC_OPT_WITH_WINDOWS, BN_CLICKED, &CDlgGeneral::OnWithWindows, "OnAutorun"),
    onCommand(IDC_OPT_RUN_TERMINAL, BN_CLICKED, &CDlgGeneral::OnRunTerminal, "OnRunMT4"),
    onCommand(IDC_OPT_BROWSE, BN_CLICKED, &CDlgGeneral::OnBrowse, "OnBrowse"),
};

CDlgGeneral::CDlgGeneral(PriceBarDoor& bar, PageChanged changed)
    : DialogOf(IDD_OPT_GENERAL), bar(bar), changed(std::move(changed)) {}

bool CDlgGeneral::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    const bool clockChanged =
        message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == DTN_DATETIMECHANGE;
    if ((message == WM_COMMAND || clockChanged) && loaded && changed)
        changed();
    return DialogOf::OnMessage(message, wParam, lParam, result);
}

MsgResult CDlgGeneral::OnInitDialog(MsgWParam, MsgLParam) {
    const std::pair<int, int> texts[] = {
        {IDC_OPT_WITH_WINDOWS, kTextOptWithWindows},
        {IDC_OPT_RUN_TERMINAL, kTextOptRunTerminal},
        {IDC_OPT_HIDE_TERMINAL, kTextOptHideTerminal},
        {IDC_OPT_TRAY_ICON, kTextOptTrayIcon},
        {IDC_OPT_CLOSE_POPUP, kTextOptClosePopup},
        {IDC_OPT_SECONDS_LABEL, kTextOptSeconds},
        {IDC_OPT_BROWSE, kBrowseTextEntry},
        {IDC_FEED_GUARD_ON, kTextFeedGuardOn},
        {IDC_FEED_GUARD_MINUTES_LABEL, kTextFeedGuardMinutes},
        {IDC_QUIET_ON, kTextQuietFrom},
        {IDC_QUIET_TO_LABEL, kTextTo},
        {IDC_QUIET_HOLD_LABEL, kTextQuietHold},
    };
    for (const auto& [id, entry] : texts)
        SetControlText(Item(id), GetText(entry));
    ComboBox seconds(Item(IDC_OPT_SECONDS));
    for (const char* item : kSecondsItems)
        seconds.Add(item);

    const std::string path = MTHandler().FindTerminalPath();
    SetControlText(Item(IDC_OPT_PATH), path);
    SetChecked(Item(IDC_OPT_WITH_WINDOWS), Config().Get(optkey::kAutoRun) == "1");
    SetChecked(Item(IDC_OPT_RUN_TERMINAL),
               Config().Get(optkey::kRunTerminal) == "1" && !path.empty());
    SetChecked(Item(IDC_OPT_HIDE_TERMINAL), Config().Get(optkey::kHideTerminal) == "1");
    SetChecked(Item(IDC_OPT_TRAY_ICON), Config().Get(optkey::kShowTrayIcon) != "0");
    const PopupClosing closing = ReadPopupClosing(Config().Get(optkey::kPopupCloseSeconds));
    SetChecked(Item(IDC_OPT_CLOSE_POPUP), closing.closes);
    SetControlText(Item(IDC_OPT_SECONDS), closing.seconds);
    LoadFeedGuard();
    LoadQuietHours();
    loaded = true;
    return TRUE;
}

void CDlgGeneral::LoadFeedGuard() {
    const FeedGuardSettings guard = ReadFeedGuardSettings(Config());
    SetChecked(Item(IDC_FEED_GUARD_ON), guard.enabled);
    SetControlText(Item(IDC_FEED_GUARD_MINUTES), std::to_string(guard.minutes));
    for (const auto& [id, bit, text] : kFeedActions) {
        SetControlText(Item(id), GetText(text));
        SetChecked(Item(id), (guard.actions & bit) != 0);
    }
}

void CDlgGeneral::ApplyFeedGuard() {
    Config().Set(feedkey::kEnabled, IsChecked(Item(IDC_FEED_GUARD_ON)) ? "1" : "0");
    const long long minutes = LeadingInteger(ControlText(Item(IDC_FEED_GUARD_MINUTES)));
    Config().SetInt(feedkey::kMinutes, static_cast<int>(std::clamp<long long>(
                                           minutes > 0 ? minutes : kDefaultFeedGuardMinutes,
                                           kFeedGuardMinMinutes, kFeedGuardMaxMinutes)));
    int actions = 0;
    for (const auto& [id, bit, text] : kFeedActions)
        actions |= IsChecked(Item(id)) ? bit : 0;
    Config().SetInt(feedkey::kActions, actions);
}

void CDlgGeneral::LoadQuietHours() {
    const QuietHours quiet = ReadQuietHours(Config());
    SetChecked(Item(IDC_QUIET_ON), quiet.on);
    SetClockPicker(Item(IDC_QUIET_FROM), quiet.from);
    SetClockPicker(Item(IDC_QUIET_TO), quiet.to);
    for (const auto& [id, bit, text] : kQuietActions) {
        SetControlText(Item(id), GetText(text));
        SetChecked(Item(id), (quiet.actions & bit) != 0);
    }
}

void CDlgGeneral::ApplyQuietHours() {
    QuietHours quiet = ReadQuietHours(Config());
    quiet.on = IsChecked(Item(IDC_QUIET_ON));
    if (const int from = ClockPickerMinutes(Item(IDC_QUIET_FROM)); from >= 0)
        quiet.from = from;
    if (const int to = ClockPickerMinutes(Item(IDC_QUIET_TO)); to >= 0)
        quiet.to = to;
    quiet.actions = 0;
    for (const auto& [id, bit, text] : kQuietActions)
        quiet.actions |= IsChecked(Item(id)) ? bit : 0;
    WriteQuietHours(Config(), quiet);
}

MsgResult CDlgGeneral::OnWithWindows(MsgWParam, MsgLParam) {
    const StartChecks checks = AfterWithWindowsClick(
        {IsChecked(Item(IDC_OPT_WITH_WINDOWS)), IsChecked(Item(IDC_OPT_RUN_TERMINAL))});
    SetChecked(Item(IDC_OPT_RUN_TERMINAL), checks.runTerminal);
    return 0;
}

MsgResult CDlgGeneral::OnRunTerminal(MsgWParam, MsgLParam) {
    if (ControlText(Item(IDC_OPT_PATH)).empty()) {
        Browse();
        if (ControlText(Item(IDC_OPT_PATH)).empty())
            SetChecked(Item(IDC_OPT_RUN_TERMINAL), false);
    }
    const StartChecks checks = AfterRunTerminalClick(
        {IsChecked(Item(IDC_OPT_WITH_WINDOWS)), IsChecked(Item(IDC_OPT_RUN_TERMINAL))});
    SetChecked(Item(IDC_OPT_WITH_WINDOWS), checks.withWindows);
    return 0;
}

MsgResult CDlgGeneral::OnBrowse(MsgWParam, MsgLParam) {
    Browse();
    return 0;
}

void CDlgGeneral::Browse() {
    const std::string path = ChooseTerminalProgram(Handle());
    if (path.empty())
        return;
    SetControlText(Item(IDC_OPT_PATH), path);
    Config().Set(quotekey::kTerminalPath, path);
}

void CDlgGeneral::Apply() {
    const bool withWindows = IsChecked(Item(IDC_OPT_WITH_WINDOWS));
    Config().Set(optkey::kAutoRun, withWindows ? "1" : "0");
    WriteLogOnEntry(withWindows);
    Config().Set(optkey::kRunTerminal, IsChecked(Item(IDC_OPT_RUN_TERMINAL)) ? "1" : "0");
    Config().Set(optkey::kHideTerminal, IsChecked(Item(IDC_OPT_HIDE_TERMINAL)) ? "1" : "0");
    const bool trayIcon = IsChecked(Item(IDC_OPT_TRAY_ICON));
    Config().Set(optkey::kShowTrayIcon, trayIcon ? "1" : "0");
    bar.ShowTrayIcon(trayIcon);
    Config().Set(optkey::kPopupCloseSeconds,
                 PopupClosingSetting(IsChecked(Item(IDC_OPT_CLOSE_POPUP)),
                                     ControlText(Item(IDC_OPT_SECONDS))));
    ApplyFeedGuard();
    ApplyQuietHours();
}

void CDlgGeneral::WriteLogOnEntry(bool on) {
    if (!on) {
        CurrentRegistry().DeleteValue(RegistryRoot::CurrentUser, kRunKey, kRunValue);
        return;
    }
    std::string caller = CallerPathFromCommandLine(GetCommandLineText());
    if (caller.empty() || !FileExists(caller))
        caller = GetProgramPath();
    // Not reported to the user: the box stays ticked and the next Apply tries again.
    if (!CurrentRegistry().WriteString(RegistryRoot::CurrentUser, kRunKey, kRunValue,
                                       LogOnEntryText(caller)))
        WriteLog("The log-on entry could not be written");
}
