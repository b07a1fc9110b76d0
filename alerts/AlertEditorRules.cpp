#include "alerts/AlertEditorRules.h"
#include "alerts/AlertHold.h"
#include "quotes/PriceFormat.h"
#include "resources/resource.h"
#include "settings/KindTextIds.h"
#include "settings/TextIds.h"
#include <cstdio>
#include <cstdlib>

namespace {
// A count or interval beyond this is a typing slip, not a wish.
constexpr long kLargestCount = 99999;
constexpr std::size_t kBrowseFolderFrom = 6;
constexpr int kHighestMinute = 59;

// The whole text is a decimal number (blanks around it allowed): what the evaluation reads
// from the text is then what the user sees.
std::optional<double> WholeNumber(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    const std::size_t last = text.find_last_not_of(' ');
    const std::string core = text.substr(first, last - first + 1);
    for (char c : core)
        if (!(c >= '0' && c <= '9') && c != '.')
            return std::nullopt;
    if (core.find('.') != core.rfind('.') || core == ".")
        return std::nullopt;
    return std::strtod(core.c_str(), nullptr);
}

bool IsPositivePrice(const std::string& text) {
    const auto value = WholeNumber(text);
    return value && *value > 0;
}

// Digits only, from 1 up to the largest sensible count.
bool IsCount(const std::string& text) {
    if (text.empty() || text.size() > 5)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value >= 1 && value <= kLargestCount;
}

bool IsMinute(const std::string& text) {
    if (text.empty() || text.size() > 2)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return std::atoi(text.c_str()) <= kHighestMinute;
}

bool IsMoveMinutes(const std::string& text) {
    if (!IsCount(text))
        return false;
    const long minutes = std::strtol(text.c_str(), nullptr, 10);
    return minutes >= kMoveMinMinutes && minutes <= kMoveMaxMinutes;
}

bool IsChannel(const std::string& low, const std::string& high) {
    return IsPositivePrice(low) && IsPositivePrice(high) && *WholeNumber(low) != *WholeNumber(high);
}

bool IsSpreadLevel(const std::string& text) {
    const auto tenths = ParseTenthsOfPip(text);
    return tenths && *tenths > 0;
}
} // namespace

const std::vector<int>& ConditionControls() {
    static const std::vector<int> controls = {IDC_ALERT_PRICE,      IDC_PRICE_STEP,
                                              IDC_PRICE_PLUS,       IDC_PRICE_MINUS,
                                              IDC_EVERY_LABEL,      IDC_PIP_STEP,
                                              IDC_PIPS_LABEL,       IDC_START_ON,
                                              IDC_START_COMPARISON, IDC_START_PRICE,
                                              IDC_INTERVAL,         IDC_INTERVAL_LABEL,
                                              IDC_DATE_ON,          IDC_DATE,
                                              IDC_HOUR_LABEL,       IDC_HOUR,
                                              IDC_MINUTE_LABEL,     IDC_MINUTE,
                                              IDC_MOVE_PIPS,        IDC_MOVE_PIPS_LABEL,
                                              IDC_MOVE_MINUTES,     IDC_MOVE_MINUTES_LABEL,
                                              IDC_MOVE_WAY,         IDC_CHANNEL_LOW,
                                              IDC_CHANNEL_TO_LABEL, IDC_CHANNEL_HIGH,
                                              IDC_CHANNEL_WAY,      IDC_SPREAD_LABEL,
                                              IDC_SPREAD_PIPS,      IDC_SPREAD_PIPS_LABEL};
    return controls;
}

std::vector<int> VisibleConditionControls(int condition) {
    switch (condition) {
    case kPriceAbove:
    case kPriceBelow:
        return {IDC_ALERT_PRICE, IDC_PRICE_STEP, IDC_PRICE_PLUS, IDC_PRICE_MINUS};
    case kEveryPips:
        return {IDC_EVERY_LABEL, IDC_PIP_STEP,         IDC_PIPS_LABEL,
                IDC_START_ON,    IDC_START_COMPARISON, IDC_START_PRICE};
    case kEveryMinutes:
        return {IDC_EVERY_LABEL, IDC_INTERVAL, IDC_INTERVAL_LABEL};
    case kTimeOfDay:
        return {IDC_DATE_ON, IDC_DATE, IDC_HOUR_LABEL, IDC_HOUR, IDC_MINUTE_LABEL, IDC_MINUTE};
    case kMoveCondition:
        return {IDC_MOVE_PIPS, IDC_MOVE_PIPS_LABEL, IDC_MOVE_MINUTES, IDC_MOVE_MINUTES_LABEL,
                IDC_MOVE_WAY};
    case kChannelCondition:
        return {IDC_CHANNEL_LOW, IDC_CHANNEL_TO_LABEL, IDC_CHANNEL_HIGH, IDC_CHANNEL_WAY};
    case kSpreadCondition:
        return {IDC_SPREAD_LABEL, IDC_SPREAD_PIPS, IDC_SPREAD_PIPS_LABEL};
    default:
        return {};
    }
}

EditorEnabling EditorEnabledStates(const EditorState& s) {
    EditorEnabling result;
    auto& on = result.enabled;
    const bool e = s.enabled;
    for (int id : ConditionControls())
        on[id] = e;
    for (int id : {IDC_CURRENCY_LABEL, IDC_CONDITION_LABEL, IDC_ALERT_CONDITION, IDC_ACTION_LABEL,
                   IDC_NOTIFICATION, IDC_VOICE, IDC_SOUND, IDC_EMAIL, IDC_PHONE, IDC_TIMES_LABEL,
                   IDC_UNLIMITED, IDC_TEST, IDC_RESET, IDC_UNTIL_ON})
        on[id] = e;
    on[IDC_UNTIL_DATE] = on[IDC_UNTIL_TIME] = e && s.untilOn;
    on[IDC_ALERT_CURRENCY] = e && !s.editing;
    on[IDC_SOUND_FILE] = on[IDC_SOUND_BROWSE] = e && s.sound;
    on[IDC_SPEAK_LAST] = on[IDC_SPEAK_DIGITS_LABEL] = on[IDC_NO_NAME] = e && s.voice;
    on[IDC_SPEAK_DIGITS] = e && s.voice && s.speakLast;
    on[IDC_DEFAULT_TEXT] = on[IDC_CUSTOM_TEXT_ON] = e && s.notification;
    on[IDC_CUSTOM_TEXT] = e && s.notification && s.custom;
    on[IDC_START_COMPARISON] = on[IDC_START_PRICE] = e && s.startOn;
    on[IDC_DATE] = e && s.dateOn;

    // The repeat count: steps and intervals repeat without a count; one date at one hour
    // fires once; "Unlimited" stands for no count at all.
    const bool timed = s.condition == kEveryPips || s.condition == kEveryMinutes;
    const bool onceOnly = s.condition == kTimeOfDay && s.dateOn && !s.hourAny;
    on[IDC_ALERT_TIMES] = e && !timed && !onceOnly && !s.unlimited;
    // Deleting itself needs an end: a count of firings, a day that passes, or an end time.
    const bool counted =
        s.condition == kPriceAbove || s.condition == kPriceBelow || s.condition >= kMoveCondition;
    const bool canEnd = counted || (s.condition == kTimeOfDay && s.dateOn) || s.untilOn;
    on[IDC_AUTO_DELETE] = e && canEnd && (!s.unlimited || s.untilOn);
    result.uncheckAutoDelete = !canEnd;
    return result;
}

std::string StepPrice(const std::string& symbol, const std::string& price,
                      const std::string& stepText, int direction) {
    if (price.empty())
        return price;
    double unit = 1;
    for (int i = 0; i < DecimalsFor(symbol); ++i)
        unit /= 10;
    const double step = std::strtod(stepText.c_str(), nullptr);
    const double moved = std::strtod(price.c_str(), nullptr) + direction * step * unit;
    char text[64] = {};
    std::snprintf(text, sizeof text, "%f", moved);
    return FormatPrice(symbol, text);
}

std::optional<EditorRefusal> CheckAlertForm(const AlertForm& form, bool soundFileExists) {
    if (form.currency.empty())
        return EditorRefusal{kTextSelectCurrency, IDC_ALERT_CURRENCY, true};
    if (!form.enabled)
        return std::nullopt;
    switch (form.condition) {
    case kPriceAbove:
    case kPriceBelow:
        if (!IsPositivePrice(form.price))
            return EditorRefusal{kTextInputCondition, IDC_ALERT_PRICE, false};
        break;
    case kEveryPips:
        if (!IsCount(form.diffpips))
            return EditorRefusal{kTextInputCondition, IDC_PIP_STEP, true};
        if (form.startOn && !IsPositivePrice(form.startPrice))
            return EditorRefusal{kTextInputCondition, IDC_START_PRICE, false};
        break;
    case kEveryMinutes:
        if (!IsCount(form.intervalmins))
            return EditorRefusal{kTextInputCondition, IDC_INTERVAL, true};
        break;
    case kTimeOfDay:
        if (!IsMinute(form.minute))
            return EditorRefusal{kTextInputCondition, IDC_MINUTE, false};
        break;
    case kMoveCondition:
        if (!IsCount(form.movePips))
            return EditorRefusal{kTextCheckMovePips, IDC_MOVE_PIPS, true};
        if (!IsMoveMinutes(form.moveMinutes))
            return EditorRefusal{kTextCheckMoveMinutes, IDC_MOVE_MINUTES, true};
        break;
    case kChannelCondition:
        if (!IsChannel(form.channelLow, form.channelHigh))
            return EditorRefusal{
                kTextCheckChannel,
                IsPositivePrice(form.channelLow) ? IDC_CHANNEL_HIGH : IDC_CHANNEL_LOW, false};
        break;
    case kSpreadCondition:
        if (!IsSpreadLevel(form.spreadPips))
            return EditorRefusal{kTextCheckSpread, IDC_SPREAD_PIPS, false};
        break;
    default:
        break;
    }
    if (FormMode(form) == 0)
        return EditorRefusal{kTextOneAction, 0, false};
    if (form.notification && form.customOn && form.customText.empty())
        return EditorRefusal{kTextInputContent, IDC_CUSTOM_TEXT, false};
    if (form.sound && !soundFileExists)
        return EditorRefusal{kTextSoundFile, IDC_SOUND_FILE, false};
    if (form.repeatCountEnabled && !form.repeatCount.empty() && !IsCount(form.repeatCount))
        return EditorRefusal{kTextInputCondition, IDC_ALERT_TIMES, false};
    if (form.untilOn && PastUntil(form.untilText, CurrentDateTime()))
        return EditorRefusal{kTextCheckUntil, IDC_UNTIL_DATE, false};
    return std::nullopt;
}

void FillEmptyRepeatCount(AlertForm& form) {
    if (form.repeatCountEnabled && form.repeatCount.empty())
        form.repeatCount = "1";
}

FiredAlert TestAlert(const AlertForm& form, const std::string& price) {
    FiredAlert alert;
    alert.kind = form.condition;
    alert.symbol = form.currency;
    alert.price = price;
    alert.mode = FormMode(form);
    alert.level = form.price;
    alert.soundfile = form.soundfile;
    alert.speaklen = form.speakLastOn ? std::to_string(form.speakDigits) : "0";
    alert.speakname = form.dontSpeakName ? "0" : "1";
    if (form.notification && form.customOn)
        alert.traymsg = StoredMessage(form.customText);
    alert.diffpips = form.diffpips;
    alert.date = form.dateOn ? form.dateText : "";
    alert.hour = form.hourText;
    alert.minute = form.minute;
    alert.intervalmins = form.intervalmins;
    alert.startcon = form.startOn ? std::to_string(form.startComparison) : kNoStartCondition;
    alert.startpips = form.startOn ? form.startPrice : "";
    alert.extras.movepips = form.movePips;
    alert.extras.movemins = form.moveMinutes;
    alert.extras.moveway = std::to_string(form.moveWay);
    alert.extras.chanlow = form.channelLow;
    alert.extras.chanhigh = form.channelHigh;
    alert.extras.chanway = std::to_string(form.channelWay);
    alert.extras.spreadpips = form.spreadPips;
    return alert;
}

std::string BrowseFolder(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    if (slash == std::string::npos || slash < kBrowseFolderFrom)
        return "";
    return path.substr(0, slash);
}

std::string HourBoxValue(const std::string& text) {
    if (text.size() == 2 && text[0] >= '0' && text[0] <= '9' && text[1] >= '0' && text[1] <= '9')
        return text;
    return kAnyHour;
}
