#include "alerts/AlertListRules.h"
#include "alerts/AlertNumbers.h"
#include "alerts/AlertStore.h"
#include "alerts/KindTexts.h"
#include "platform/Text.h"
#include "quotes/FXPrice.h"
#include "settings/TextIds.h"
#include <cctype>
#include "settings/LangTable.h"

namespace {
constexpr int kInformationMargin = 80;
constexpr int kInformationRoomy = 180;
constexpr int kInformationNarrow = 100;

// The newer keys through the same look-up as the others.
struct ValuesSection {
    const AlertValues& values;
    std::string Get(const char* key) const { return values(key); }
};

std::string WithCount(const std::string& pattern, std::size_t count) {
    const std::size_t mark = pattern.find("%s");
    if (mark == std::string::npos)
        return pattern;
    return pattern.substr(0, mark) + std::to_string(count) + pattern.substr(mark + 2);
}
} // namespace

std::string AlertActionText(const AlertValues& alert) {
    if (alert(alertkey::kEnabled) == "0")
        return GetText(kTextDisabled);
    return ActionNames(LeadingInteger(alert(alertkey::kMode)));
}

std::string ActionNames(long long mode) {
    std::string text;
    for (const auto& [bit, entry] : {std::pair{kActionPopup, kTextNotification},
                                     {kActionVoice, kTextVoice},
                                     {kActionSound, kTextSound},
                                     {kActionEmail, kTextEmail},
                                     {kActionPhone, kTextPhone}}) {
        if (!(mode & bit))
            continue;
        if (!text.empty())
            text += "+";
        text += GetText(entry);
    }
    return text;
}

std::string AlertConditionText(const AlertValues& alert) {
    const std::string condition = alert(alertkey::kCondition);
    if (condition == "0" || condition == "1")
        return GetText(kTextPrice) + (condition == "0" ? ">" : "<") + alert(alertkey::kPrice);
    if (condition == "2") {
        std::string text =
            GetText(kTextEvery) + " " + alert(alertkey::kDiffPips) + " " + GetText(kTextPips);
        const std::string start = alert(alertkey::kStartCon);
        const std::string startPrice = alert(alertkey::kStartPips);
        if (start != kNoStartCondition && !startPrice.empty())
            text += std::string(",") + (start == "0" ? ">" : "<") + startPrice;
        return text;
    }
    if (condition == "3")
        return GetText(kTextEvery) + " " + alert(alertkey::kIntervalMins) + " " +
               GetText(kTextMinute);
    if (condition == "4") {
        const std::string hour = alert(alertkey::kHour);
        std::string text =
            (hour == kAnyHour ? GetText(kTextAny) : hour) + ":" + alert(alertkey::kMinute);
        const std::string date = alert(alertkey::kDate);
        return date.empty() ? text : date + " " + text;
    }
    return KindConditionText(LeadingInteger(condition), ReadExtras(ValuesSection{alert}));
}

std::string AlertInformation(const AlertValues& alert) {
    std::string text;
    if (alert(alertkey::kEnabled) != "0" && (LeadingInteger(alert(alertkey::kMode)) & kActionPopup))
        text = MessageOneLine(alert(alertkey::kTrayMsg));
    const std::string notes = KindInformation(LeadingInteger(alert(alertkey::kCondition)),
                                              ReadExtras(ValuesSection{alert}));
    if (notes.empty())
        return text;
    return text.empty() ? notes : text + "; " + notes;
}

std::string AlertRecordValue(const AlertRecord& alert, const std::string& key) {
    using namespace alertkey;
    const std::pair<const char*, const std::string*> fields[] = {
        {kCurrency, &alert.currency},
        {kEnabled, &alert.enabled},
        {kCondition, &alert.condition},
        {kPrice, &alert.level},
        {kDiffPips, &alert.diffpips},
        {kStartCon, &alert.startcon},
        {kStartPips, &alert.startpips},
        {kIntervalMins, &alert.intervalmins},
        {kDate, &alert.date},
        {kHour, &alert.hour},
        {kMinute, &alert.minute},
        {kMode, &alert.mode},
        {kSoundFile, &alert.soundfile},
        {kSpeakLen, &alert.speaklen},
        {kSpeakName, &alert.speakname},
        {kTrayMsg, &alert.traymsg},
        {kAlertTimes, &alert.alerttimes},
        {kAutoDelete, &alert.autodelete},
    };
    for (const auto& [name, value] : fields)
        if (key == name)
            return *value;
    return ExtraValue(alert.extras, key);
}

std::vector<AlertListRow> AlertListRows(const std::vector<AlertRecord>& alerts,
                                        const std::string& displayList) {
    std::vector<AlertListRow> rows;
    for (const AlertRecord& record : alerts) {
        if (record.id.empty() || !ListHasEntry(displayList, record.currency))
            continue;
        const AlertValues alert = [&](const std::string& key) {
            return AlertRecordValue(record, key);
        };
        rows.push_back({record.currency, AlertActionText(alert), AlertConditionText(alert),
                        AlertInformation(alert), record.id});
    }
    return rows;
}

AlertColumns AlertColumnWidths(int languageIndex) {
    if (languageIndex == kLangChinese)
        return {40, 70, 150, 140};
    return {50, 70, 160, 160};
}

int InformationColumnWidth(int listWidth, const AlertColumns& widths) {
    const int rest = listWidth - (widths.check + widths.action + widths.condition);
    return rest >= kInformationRoomy ? rest - kInformationMargin : kInformationNarrow;
}

std::string CheckedSet(const std::vector<std::string>& checkedSymbols) {
    std::string set;
    for (const std::string& symbol : checkedSymbols)
        set += symbol + ",";
    return set;
}

std::string ComparableSelection(const std::string& selection) {
    const std::size_t first = selection.find_first_not_of(',');
    if (first == std::string::npos)
        return "";
    std::string text = selection.substr(first, selection.find_last_not_of(',') - first + 1);
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string DisplayListOf(const std::vector<std::string>& checkedSymbols) {
    return "," + CheckedSet(checkedSymbols);
}

ListButtons AlertListButtons(bool rowSelected, bool anyChecked, int rowCount) {
    return {rowSelected, anyChecked || rowSelected, rowCount > 0};
}

std::vector<int> RowsToDelete(const std::vector<int>& checkedRows, int selectedRow) {
    if (!checkedRows.empty())
        return checkedRows;
    if (selectedRow >= 0)
        return {selectedRow};
    return {};
}

std::string ClearQuestion(const std::vector<AlertRecord>& alerts, const std::string& displayList) {
    std::size_t total = 0;
    std::size_t hidden = 0;
    for (const AlertRecord& record : alerts) {
        if (record.id.empty())
            continue;
        ++total;
        if (!ListHasEntry(displayList, record.currency))
            ++hidden;
    }
    std::string question =
        GetText(kTextAskClear) + "\n" + WithCount(GetText(kTextClearCount), total);
    if (hidden > 0)
        question += "\n" + WithCount(GetText(kTextClearHiddenCount), hidden);
    return question;
}

int CurrencySourceNotice(bool internetSource, int sourceStatus, bool gotSymbols,
                         bool pagesPending) {
    if (!internetSource)
        return 0;
    if (sourceStatus != 0)
        return sourceStatus;
    return gotSymbols || pagesPending ? 0 : kNoPriceDataStatus;
}
