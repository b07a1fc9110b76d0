// The editor's boxes: filled from the settings and from an alert, read back into a form.
#include "alerts/AlertListRules.h"
#include "alerts/AlertNumbers.h"
#include "alerts/DlgAlertAdd.h"
#include "alerts/NotifyServices.h"
#include "platform/AlertControls.h"
#include "platform/FileSystem.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "quotes/PriceLookup.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/KindTextIds.h"
#include "settings/OptionKeys.h"
#include "settings/TextIds.h"
#include <commdlg.h>
#include "settings/LangTable.h"

namespace {
constexpr int kDefaultPipItem = 3;

struct BoxItems {
    int id;
    std::vector<const char*> items;
};
const BoxItems kFixedItems[] = {
    {IDC_PRICE_STEP, {"10", "20", "30", "40", "50", "100"}},
    {IDC_PIP_STEP, {"5", "10", "15", "20", "30", "40", "50", "100"}},
    {IDC_INTERVAL, {"1", "2", "3", "4", "5", "10", "15", "20", "30", "40", "50", "60"}},
    {IDC_MINUTE, {"00", "05", "10", "15", "30", "45"}},
    {IDC_SPEAK_DIGITS, {"2", "3", "4", "5", "6"}},
    {IDC_ALERT_TIMES, {"1", "3", "5", "10", "20"}},
    {IDC_MOVE_PIPS, {"10", "20", "30", "50", "100"}},
    {IDC_MOVE_MINUTES, {"1", "5", "15", "30", "60", "240"}},
};
constexpr const char* kDefaultMovePips = "30";
constexpr const char* kDefaultMoveMinutes = "15";
constexpr const char* kDefaultSpreadPips = "3";
constexpr const wchar_t* kClockFormat = L"HH':'mm";
constexpr int kUntilFromNowDays = 1;

SYSTEMTIME PickerTime(HWND picker) {
    SYSTEMTIME time{};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return time;
}

// The date of one picker and the hour and minute of the other, as the alerts file keeps it.
std::string UntilText(HWND datePicker, HWND timePicker) {
    const SYSTEMTIME date = PickerTime(datePicker);
    const SYSTEMTIME time = PickerTime(timePicker);
    return FormatDateTime(
        MakeDateTime(date.wYear, date.wMonth, date.wDay, time.wHour, time.wMinute, 0));
}

void SetPickers(HWND datePicker, HWND timePicker, const LocalTime& at) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(at.year);
    time.wMonth = static_cast<WORD>(at.month);
    time.wDay = static_cast<WORD>(at.day);
    time.wHour = static_cast<WORD>(at.hour);
    time.wMinute = static_cast<WORD>(at.minute);
    SendMessageW(timePicker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(kClockFormat));
    for (HWND picker : {datePicker, timePicker})
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

struct RememberedBox {
    int id;
    LastUsedBox box;
};
const RememberedBox kRememberedBoxes[] = {
    {IDC_PRICE_STEP, LastUsedBox::PriceStep},
    {IDC_PIP_STEP, LastUsedBox::PipStep},
    {IDC_INTERVAL, LastUsedBox::IntervalMinutes},
    {IDC_ALERT_TIMES, LastUsedBox::AlertTimes},
    {IDC_HOUR, LastUsedBox::Hour},
    {IDC_MINUTE, LastUsedBox::Minute},
};

std::string ShortDateText(const SYSTEMTIME& date) {
    wchar_t text[64] = {};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, text, 64))
        return "";
    return Narrow(text);
}
} // namespace

void CDlgAlertAdd::SetTexts() {
    const auto withColon = [](int entry) { return GetText(entry) + ":"; };
    SetControlText(Handle(), GetText(kTextCaption));
    const std::pair<int, std::string> texts[] = {
        {IDC_ALERT_ENABLED, GetText(kTextEnable)},
        {IDC_CURRENCY_LABEL, withColon(kTextCurrency)},
        {IDC_CONDITION_LABEL, withColon(kTextConditions)},
        {IDC_EVERY_LABEL, GetText(kTextEvery)},
        {IDC_PIPS_LABEL, GetText(kTextPips)},
        {IDC_START_ON, GetText(kTextAnd)},
        {IDC_INTERVAL_LABEL, GetText(kTextMinute)},
        {IDC_HOUR_LABEL, withColon(kTextHour)},
        {IDC_MINUTE_LABEL, withColon(kTextMinute)},
        {IDC_ACTION_LABEL, withColon(kTextAction)},
        {IDC_NOTIFICATION, withColon(kTextNotification)},
        {IDC_DEFAULT_TEXT, GetText(kTextDefault)},
        {IDC_CUSTOM_TEXT_ON, GetText(kTextCustom)},
        {IDC_VOICE, withColon(kTextVoice)},
        {IDC_SPEAK_LAST, GetText(kTextSpeakLast)},
        {IDC_SPEAK_DIGITS_LABEL, GetText(kTextNumber)},
        {IDC_NO_NAME, GetText(kTextNoName)},
        {IDC_SOUND, withColon(kTextSound)},
        {IDC_EMAIL, withColon(kTextEmail)},
        {IDC_PHONE, withColon(kTextPhone)},
        {IDC_TIMES_LABEL, withColon(kTextTimes)},
        {IDC_UNLIMITED, GetText(kTextUnlimited)},
        {IDC_AUTO_DELETE, GetText(kTextAutoDelete)},
        {IDC_MOVE_PIPS_LABEL, GetText(kTextPipsWithin)},
        {IDC_MOVE_MINUTES_LABEL, GetText(kTextMinutesWithin)},
        {IDC_CHANNEL_TO_LABEL, GetText(kTextTo)},
        {IDC_SPREAD_LABEL, GetText(kTextSpreadAtLeast)},
        {IDC_SPREAD_PIPS_LABEL, GetText(kTextPips)},
        {IDC_UNTIL_ON, GetText(kTextUntil)},
        {IDC_SUBMIT, GetText(kTextSubmit)},
        {IDC_TEST, GetText(kTextTest)},
        {IDC_RESET, GetText(kTextReset)},
        {IDC_EDITOR_CLOSE, GetText(kTextClose)},
    };
    for (const auto& [id, text] : texts)
        SetControlText(Item(id), text);
}

void CDlgAlertAdd::FillBoxes() {
    ComboBox conditions(Item(IDC_ALERT_CONDITION));
    for (const std::string& text :
         {GetText(kTextPrice) + ">", GetText(kTextPrice) + "<", GetText(kTextEveryPips),
          GetText(kTextEveryMins), GetText(kTextLocalTime) + "=", GetText(kTextMoveItem),
          GetText(kTextChannelItem), GetText(kTextSpreadItem)})
        conditions.Add(text);
    ComboBox ways(Item(IDC_MOVE_WAY));
    for (int text : {kTextWayUp, kTextWayDown, kTextWayEither})
        ways.Add(GetText(text));
    ComboBox crossings(Item(IDC_CHANNEL_WAY));
    for (int text : {kTextEnters, kTextLeaves})
        crossings.Add(GetText(text));
    ComboBox comparisons(Item(IDC_START_COMPARISON));
    comparisons.Add(GetText(kTextPrice) + ">");
    comparisons.Add(GetText(kTextPrice) + "<");
    ComboBox hours(Item(IDC_HOUR));
    hours.Add(GetText(kTextAny));
    for (int hour = 0; hour < 24; ++hour)
        hours.Add((hour < 10 ? "0" : "") + std::to_string(hour));
    for (const BoxItems& box : kFixedItems) {
        ComboBox combo(Item(box.id));
        for (const char* item : box.items)
            combo.Add(item);
    }
}

void CDlgAlertAdd::ApplyLastUsed() {
    for (const RememberedBox& remembered : kRememberedBoxes) {
        const std::string value = LastUsedValue(remembered.box);
        if (remembered.id != IDC_HOUR) {
            SetControlText(Item(remembered.id), value);
            continue;
        }
        ComboBox hours(Item(IDC_HOUR));
        if (value == kAnyHour || !hours.SelectText(value.size() == 1 ? "0" + value : value))
            hours.Select(0);
    }
}

void CDlgAlertAdd::SetDefaults() {
    ComboBox(Item(IDC_ALERT_CONDITION)).Select(0);
    ComboBox(Item(IDC_START_COMPARISON)).Select(0);
    ComboBox(Item(IDC_SPEAK_DIGITS)).Select(0);
    for (int id : {IDC_ALERT_ENABLED, IDC_NOTIFICATION, IDC_DEFAULT_TEXT})
        SetChecked(Item(id), true);
    for (int id : {IDC_EMAIL, IDC_PHONE, IDC_SOUND, IDC_VOICE})
        SetChecked(Item(id), false);
    SetControlText(Item(IDC_ALERT_PRICE), "");
    SetControlText(Item(IDC_SOUND_FILE), defaultSound);
    SetControlText(Item(IDC_MOVE_PIPS), kDefaultMovePips);
    SetControlText(Item(IDC_MOVE_MINUTES), kDefaultMoveMinutes);
    ComboBox(Item(IDC_MOVE_WAY)).Select(kMoveWayUp);
    ComboBox(Item(IDC_CHANNEL_WAY)).Select(kChannelEnters);
    SetControlText(Item(IDC_SPREAD_PIPS), kDefaultSpreadPips);
    SetChecked(Item(IDC_UNTIL_ON), false);
    LocalTime tomorrow{};
    SplitDateTime({CurrentDateTime().date + kUntilFromNowDays, DateTimeStatus::Valid}, tomorrow);
    SetPickers(Item(IDC_UNTIL_DATE), Item(IDC_UNTIL_TIME), tomorrow);
}

void CDlgAlertAdd::LoadKinds(const AlertExtras& extras) {
    if (!extras.movepips.empty())
        SetControlText(Item(IDC_MOVE_PIPS), extras.movepips);
    if (!extras.movemins.empty())
        SetControlText(Item(IDC_MOVE_MINUTES), extras.movemins);
    ComboBox(Item(IDC_MOVE_WAY)).Select(static_cast<int>(LeadingInteger(extras.moveway)) % 3);
    SetControlText(Item(IDC_CHANNEL_LOW), extras.chanlow);
    SetControlText(Item(IDC_CHANNEL_HIGH), extras.chanhigh);
    ComboBox(Item(IDC_CHANNEL_WAY)).Select(extras.chanway == "1" ? kChannelLeaves : kChannelEnters);
    if (!extras.spreadpips.empty())
        SetControlText(Item(IDC_SPREAD_PIPS), extras.spreadpips);
    LocalTime until{};
    const bool ends = SplitDateTime(ParseDateTime(extras.until), until);
    SetChecked(Item(IDC_UNTIL_ON), ends);
    if (ends)
        SetPickers(Item(IDC_UNTIL_DATE), Item(IDC_UNTIL_TIME), until);
}

void CDlgAlertAdd::ReadKinds(AlertForm& form) const {
    form.movePips = ControlText(Item(IDC_MOVE_PIPS));
    form.moveMinutes = ControlText(Item(IDC_MOVE_MINUTES));
    form.moveWay = std::max(0, ComboBox(Item(IDC_MOVE_WAY)).Selected());
    form.channelLow = ControlText(Item(IDC_CHANNEL_LOW));
    form.channelHigh = ControlText(Item(IDC_CHANNEL_HIGH));
    form.channelWay =
        ComboBox(Item(IDC_CHANNEL_WAY)).Selected() == 1 ? kChannelLeaves : kChannelEnters;
    form.spreadPips = ControlText(Item(IDC_SPREAD_PIPS));
    form.untilOn = IsChecked(Item(IDC_UNTIL_ON));
    if (form.untilOn)
        form.untilText = UntilText(Item(IDC_UNTIL_DATE), Item(IDC_UNTIL_TIME));
}

void CDlgAlertAdd::FillCurrencies() {
    ComboBox currencies(Item(IDC_ALERT_CURRENCY));
    for (const std::string& symbol : SplitList(Config().Get(barkey::kDisplayList)))
        currencies.Add(symbol);
}

void CDlgAlertAdd::LoadAlert() {
    // A section deleted meanwhile reads as empty; the save writes it again.
    const AlertRecord alert = ::LoadAlert(AppConfig().alertsPath, alertId).value_or(AlertRecord{});
    const auto value = [&](const char* key) { return AlertRecordValue(alert, key); };
    ComboBox(Item(IDC_ALERT_CURRENCY)).SelectText(value(alertkey::kCurrency));
    SetChecked(Item(IDC_ALERT_ENABLED), value(alertkey::kEnabled) != "0");
    ComboBox(Item(IDC_ALERT_CONDITION))
        .Select(static_cast<int>(LeadingInteger(value(alertkey::kCondition))));
    SetControlText(Item(IDC_ALERT_PRICE), value(alertkey::kPrice));
    ComboBox pips(Item(IDC_PIP_STEP));
    if (const std::string diff = value(alertkey::kDiffPips); !diff.empty()) {
        pips.InsertFirst(diff);
        pips.Select(0);
    } else {
        pips.Select(kDefaultPipItem);
    }
    const std::string start = value(alertkey::kStartCon);
    SetChecked(Item(IDC_START_ON), start != kNoStartCondition && !start.empty());
    ComboBox(Item(IDC_START_COMPARISON)).Select(start == "1" ? 1 : 0);
    SetControlText(Item(IDC_START_PRICE), value(alertkey::kStartPips));
    if (const std::string mins = value(alertkey::kIntervalMins); !mins.empty())
        SetControlText(Item(IDC_INTERVAL), mins);
    LoadDate(value(alertkey::kDate));
    ComboBox hours(Item(IDC_HOUR));
    if (const std::string hour = value(alertkey::kHour);
        hour == kAnyHour || !hours.SelectText(hour))
        hours.Select(0);
    const std::string minute = value(alertkey::kMinute);
    SetControlText(Item(IDC_MINUTE), minute.empty() ? "00" : minute);
    SetControlText(Item(IDC_SOUND_FILE), value(alertkey::kSoundFile));
    const std::string speakLength = value(alertkey::kSpeakLen);
    ComboBox(Item(IDC_SPEAK_DIGITS)).SelectText(speakLength);
    SetChecked(Item(IDC_SPEAK_LAST), LeadingInteger(speakLength) >= 1);
    SetChecked(Item(IDC_NO_NAME), value(alertkey::kSpeakName) == "0");
    const std::string message = MessageLines(value(alertkey::kTrayMsg));
    SetControlText(Item(IDC_CUSTOM_TEXT), message);
    SetChecked(Item(IDC_CUSTOM_TEXT_ON), !message.empty());
    SetChecked(Item(IDC_DEFAULT_TEXT), message.empty());
    const std::string times = value(alertkey::kAlertTimes);
    SetChecked(Item(IDC_UNLIMITED), times == kUnlimited);
    if (times != kUnlimited && times != kNoCountInForce)
        SetControlText(Item(IDC_ALERT_TIMES), times);
    SetChecked(Item(IDC_AUTO_DELETE), value(alertkey::kAutoDelete) == "1");
    const long long mode = LeadingInteger(value(alertkey::kMode));
    SetChecked(Item(IDC_NOTIFICATION), (mode & kActionPopup) != 0);
    SetChecked(Item(IDC_VOICE), (mode & kActionVoice) != 0);
    SetChecked(Item(IDC_SOUND), (mode & kActionSound) != 0);
    SetChecked(Item(IDC_EMAIL), (mode & kActionEmail) != 0);
    SetChecked(Item(IDC_PHONE), (mode & kActionPhone) != 0);
    LoadKinds(alert.extras);
}

void CDlgAlertAdd::LoadDate(const std::string& text) {
    LocalTime fields{};
    const bool parsed =
        !text.empty() && SplitDateTime(ParseDateTime(text, UserShortDatePattern()), fields);
    SetChecked(Item(IDC_DATE_ON), parsed);
    if (!parsed)
        return;
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(fields.year);
    date.wMonth = static_cast<WORD>(fields.month);
    date.wDay = static_cast<WORD>(fields.day);
    SendMessageW(Item(IDC_DATE), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
}

AlertForm CDlgAlertAdd::ReadForm() const {
    AlertForm form;
    form.existingId = editing ? alertId : "";
    const ComboBox currencies(Item(IDC_ALERT_CURRENCY));
    form.currency = currencies.ItemText(currencies.Selected());
    form.enabled = IsChecked(Item(IDC_ALERT_ENABLED));
    form.condition = ComboBox(Item(IDC_ALERT_CONDITION)).Selected();
    form.price = ControlText(Item(IDC_ALERT_PRICE));
    form.diffpips = ControlText(Item(IDC_PIP_STEP));
    form.startOn = IsChecked(Item(IDC_START_ON));
    form.startComparison = ComboBox(Item(IDC_START_COMPARISON)).Selected() == 1 ? 1 : 0;
    form.startPrice = ControlText(Item(IDC_START_PRICE));
    form.intervalmins = ControlText(Item(IDC_INTERVAL));
    form.dateOn = IsChecked(Item(IDC_DATE_ON));
    if (form.dateOn) {
        SYSTEMTIME date{};
        SendMessageW(Item(IDC_DATE), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
        form.dateText = ShortDateText(date);
    }
    form.hourText = HourBoxValue(ControlText(Item(IDC_HOUR)));
    form.minute = ControlText(Item(IDC_MINUTE));
    form.notification = IsChecked(Item(IDC_NOTIFICATION));
    form.voice = IsChecked(Item(IDC_VOICE));
    form.sound = IsChecked(Item(IDC_SOUND));
    form.email = IsChecked(Item(IDC_EMAIL));
    form.phone = IsChecked(Item(IDC_PHONE));
    form.soundfile = ControlText(Item(IDC_SOUND_FILE));
    form.speakLastOn = IsChecked(Item(IDC_SPEAK_LAST));
    form.speakDigits = static_cast<int>(LeadingInteger(ControlText(Item(IDC_SPEAK_DIGITS))));
    form.dontSpeakName = IsChecked(Item(IDC_NO_NAME));
    form.customOn = IsChecked(Item(IDC_CUSTOM_TEXT_ON));
    form.customText = ControlText(Item(IDC_CUSTOM_TEXT));
    form.repeatCountEnabled = IsWindowEnabled(Item(IDC_ALERT_TIMES)) != FALSE;
    form.repeatCount = ControlText(Item(IDC_ALERT_TIMES));
    form.unlimited = IsChecked(Item(IDC_UNLIMITED));
    form.autoDelete = IsChecked(Item(IDC_AUTO_DELETE));
    ReadKinds(form);
    return form;
}

MsgResult CDlgAlertAdd::OnRememberBox(MsgWParam wParam, MsgLParam) {
    const int id = CommandId(wParam);
    for (const RememberedBox& remembered : kRememberedBoxes) {
        if (remembered.id != id)
            continue;
        const std::string text = ControlText(Item(id));
        RememberLastUsed(remembered.box, id == IDC_HOUR ? HourBoxValue(text) : text);
    }
    return 0;
}
