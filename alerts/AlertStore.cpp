#include "alerts/AlertStore.h"
#include "alerts/WaveFiles.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/SystemFolders.h"
#include <cstdint>

namespace {
constexpr std::size_t kShortestTickText = 2;
constexpr const char* kMediaKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kMediaValue = "MediaPath";
constexpr const char* kMediaSubfolder = "Media\\";
constexpr const char* kPreferredSounds[] = {"notify.wav", "ding.wav", "ringin.wav"};
constexpr const char* kFallbackSound = "ringin.wav";
const std::string kZeroCount = "0";
constexpr const char* kOnceOnlyCount = "1";

// Clears the loading flag however the reload ends.
class LoadingScope {
public:
    explicit LoadingScope(bool& flag) : flag(flag) { flag = true; }
    ~LoadingScope() { flag = false; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    bool& flag;
};

// The record of one section, read from a document already in memory.
template <class Section> AlertRecord RecordOf(const std::string& id, const Section& section) {
    using namespace alertkey;
    AlertRecord alert;
    alert.id = id;
    alert.enabled = section.Get(kEnabled);
    alert.currency = section.Get(kCurrency);
    alert.condition = section.Get(kCondition);
    alert.mode = section.Get(kMode);
    alert.level = section.Get(kPrice);
    alert.diffpips = section.Get(kDiffPips);
    alert.startcon = section.Get(kStartCon);
    alert.startpips = section.Get(kStartPips);
    alert.date = section.Get(kDate);
    alert.hour = section.Get(kHour);
    alert.minute = section.Get(kMinute);
    alert.intervalmins = section.Get(kIntervalMins);
    alert.traymsg = section.Get(kTrayMsg);
    alert.speaklen = section.Get(kSpeakLen);
    alert.speakname = section.Get(kSpeakName);
    alert.soundfile = section.Get(kSoundFile);
    alert.alerttimes = section.Get(kAlertTimes);
    alert.autodelete = section.Get(kAutoDelete);
    alert.extras = ReadExtras(section);
    // Otherwise it rings on every refresh of its minute and never deletes itself.
    if (alert.alerttimes == kNoCountInForce &&
        FiresOnceOnly(LeadingInteger(alert.condition), !alert.date.empty(), alert.hour))
        alert.alerttimes = kOnceOnlyCount;
    return alert;
}

// One section of a document read through IniDocument::Get.
struct DocumentSection {
    const IniDocument& document;
    const std::string& id;
    std::string Get(const char* key) const { return document.Get(id, key); }
};

IniDocument ReadAlertsFile(const std::string& alertsPath) {
    CIniFile file;
    file.SetPath(alertsPath);
    return file.Document();
}

bool EndsInSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string MediaFolder() {
    const auto value =
        CurrentRegistry().ReadString(RegistryRoot::LocalMachine, kMediaKey, kMediaValue);
    if (value && !value->empty())
        return EndsInSeparator(*value) ? *value : *value + "\\";
    return GetWindowsFolder() + kMediaSubfolder;
}

// The keys of one alert, gathered so that the file is replaced once per save: an alert
// written half by one save and half by another could fire on a condition nobody set.
class AlertWrites {
public:
    void WriteString(const std::string&, const std::string& key, const std::string& value) {
        values.emplace_back(key, value);
    }
    void WriteInt(const std::string& id, const std::string& key, int value) {
        WriteString(id, key, std::to_string(value));
    }
    bool Store(CIniFile& file, const std::string& id) const {
        return file.WriteStrings(id, values);
    }

private:
    std::vector<std::pair<std::string, std::string>> values;
};

void WriteConditionKeys(AlertWrites& file, const std::string& id, const AlertForm& form) {
    using namespace alertkey;
    switch (form.condition) {
    case kPriceAbove:
    case kPriceBelow:
        file.WriteString(id, kPrice, form.price);
        break;
    case kEveryPips: {
        file.WriteString(id, kDiffPips, form.diffpips);
        const int startcon = form.startOn ? form.startComparison : -1;
        file.WriteInt(id, kStartCon, startcon);
        if (startcon != -1)
            file.WriteString(id, kStartPips, form.startPrice);
        break;
    }
    case kEveryMinutes:
        file.WriteString(id, kIntervalMins, form.intervalmins);
        break;
    case kTimeOfDay:
        file.WriteString(id, kDate, form.dateOn ? form.dateText : std::string());
        file.WriteString(id, kHour, form.hourText.empty() ? kAnyHour : form.hourText);
        file.WriteString(id, kMinute, form.minute);
        break;
    case kMoveCondition:
        file.WriteString(id, kindkey::kMovePips, form.movePips);
        file.WriteString(id, kindkey::kMoveMinutes, form.moveMinutes);
        file.WriteInt(id, kindkey::kMoveWay, form.moveWay);
        break;
    case kChannelCondition:
        file.WriteString(id, kindkey::kChannelLow, form.channelLow);
        file.WriteString(id, kindkey::kChannelHigh, form.channelHigh);
        file.WriteInt(id, kindkey::kChannelWay, form.channelWay);
        break;
    case kSpreadCondition:
        file.WriteString(id, kindkey::kSpreadPips, form.spreadPips);
        break;
    default:
        break;
    }
}
} // namespace

std::vector<AlertRecord> LoadAllAlerts(const std::string& alertsPath) {
    std::vector<AlertRecord> alerts;
    for (const IniDocument::Section& section : ReadAlertsFile(alertsPath).Sections())
        alerts.push_back(RecordOf(section.name, section));
    return alerts;
}

std::optional<AlertRecord> LoadAlert(const std::string& alertsPath, const std::string& id) {
    const IniDocument document = ReadAlertsFile(alertsPath);
    if (!document.HasSection(id))
        return std::nullopt;
    return RecordOf(id, DocumentSection{document, id});
}

void ReloadAlerts(CAlertTable& table, const std::string& alertsPath) {
    LoadingScope loading(table.loading);
    table.alerts = LoadAllAlerts(alertsPath);
    for (AlertRecord& alert : table.alerts) {
        if (alert.enabled == "1") {
            alert.firedCount = kZeroCount;
            continue;
        }
        AlertRecord off; // the evaluation passes it by
        off.id = std::move(alert.id);
        off.enabled = std::move(alert.enabled);
        alert = std::move(off);
    }
}

std::string StoredMessage(const std::string& lines) {
    return ReplaceAll(lines, "\r\n", kStoredLineBreak);
}

std::string MessageLines(const std::string& stored) {
    return ReplaceAll(stored, kStoredLineBreak, "\r\n");
}

std::string MessageOneLine(const std::string& stored) {
    return ReplaceAll(stored, kStoredLineBreak, " ");
}

std::string NewAlertId(const std::string& symbol) {
    const Clock& clock = CurrentClock();
    std::string number = std::to_string(static_cast<std::int32_t>(clock.TickCount()));
    if (number.size() < kShortestTickText) {
        const LocalTime now = clock.Now();
        number.assign(1, '1');
        for (int field : {now.month, now.day, now.hour, now.minute, now.second})
            number += std::to_string(field);
    }
    return symbol + number;
}

bool FiresOnceOnly(long long condition, bool dated, const std::string& hour) {
    return condition == kTimeOfDay && dated && !hour.empty() && hour != kAnyHour;
}

int FormMode(const AlertForm& form) {
    return (form.notification ? kActionPopup : 0) | (form.voice ? kActionVoice : 0) |
           (form.sound ? kActionSound : 0) | (form.email ? kActionEmail : 0) |
           (form.phone ? kActionPhone : 0);
}

std::string SaveAlert(const std::string& alertsPath, const AlertForm& form) {
    using namespace alertkey;
    CIniFile store;
    store.SetPath(alertsPath);
    AlertWrites file;
    std::string id = form.existingId;
    if (id.empty()) {
        if (form.currency.empty())
            return id;
        id = NewAlertId(form.currency);
        file.WriteString(id, kCurrency, form.currency);
    }
    if (!form.enabled) {
        file.WriteString(id, kEnabled, "0");
        file.Store(store, id);
        return id;
    }
    file.WriteString(id, kEnabled, "1");
    file.WriteInt(id, kCondition, form.condition);
    WriteConditionKeys(file, id, form);
    file.WriteInt(id, kMode, FormMode(form));
    file.WriteString(id, kSoundFile, form.soundfile);
    file.WriteString(id, kSpeakLen, form.speakLastOn ? std::to_string(form.speakDigits) : "0");
    file.WriteString(id, kSpeakName, form.dontSpeakName ? "0" : "1");
    const bool custom = form.notification && form.customOn;
    file.WriteString(id, kTrayMsg, custom ? StoredMessage(form.customText) : "");
    const bool once = FiresOnceOnly(form.condition, form.dateOn, form.hourText);
    file.WriteString(id, kAlertTimes,
                     form.repeatCountEnabled ? form.repeatCount
                     : form.unlimited        ? kUnlimited
                     : once                  ? kOnceOnlyCount
                                             : kNoCountInForce);
    file.WriteString(id, kAutoDelete, form.autoDelete ? "1" : "0");
    // Written only where an end is set or is to be taken away: other sections stay as an
    // older version writes them.
    if (form.untilOn || !store.GetString(id, kindkey::kUntil).empty())
        file.WriteString(id, kindkey::kUntil, form.untilOn ? form.untilText : "");
    file.Store(store, id);
    return id;
}

void DeleteAlert(const std::string& alertsPath, const std::string& id) {
    CIniFile file;
    file.SetPath(alertsPath);
    file.DeleteSection(id);
}

namespace {
// One key of a section that still exists; a deleted alert is not made again.
bool WriteExistingKey(const std::string& alertsPath, const std::string& id, const char* key,
                      const std::string& value) {
    CIniFile file;
    file.SetPath(alertsPath);
    if (!file.Document().HasSection(id))
        return false;
    return file.WriteStrings(id, {{key, value}});
}
} // namespace

void SwitchAlertOff(const std::string& alertsPath, const std::string& id) {
    WriteExistingKey(alertsPath, id, alertkey::kEnabled, "0");
}

bool WriteSnooze(const std::string& alertsPath, const std::string& id, const std::string& until) {
    return WriteExistingKey(alertsPath, id, kindkey::kSnoozed, until);
}

void ClearAlerts(const std::string& alertsPath) {
    Files().Delete(alertsPath);
}

const char* LastUsedKey(LastUsedBox box) {
    switch (box) {
    case LastUsedBox::PipStep:
        return "ASEVERYPIPNUMBER";
    case LastUsedBox::PriceStep:
        return "ASCONPRICESTEP";
    case LastUsedBox::IntervalMinutes:
        return "ASINTERVALMIN";
    case LastUsedBox::AlertTimes:
        return "ASALERTTIMES";
    case LastUsedBox::Hour:
        return "ASALERTHOUR";
    case LastUsedBox::Minute:
        return "ASALERTMINUTE";
    }
    return "";
}

std::string LastUsedValue(LastUsedBox box) {
    const std::string stored = Config().Get(LastUsedKey(box));
    if (!stored.empty())
        return stored;
    switch (box) {
    case LastUsedBox::PipStep:
    case LastUsedBox::PriceStep:
        return "20";
    case LastUsedBox::IntervalMinutes:
        return "5";
    case LastUsedBox::AlertTimes:
        return "3";
    case LastUsedBox::Hour:
        return kAnyHour;
    case LastUsedBox::Minute:
        return "00";
    }
    return {};
}

void RememberLastUsed(LastUsedBox box, const std::string& text) {
    Config().Set(LastUsedKey(box), text);
}

std::string DefaultSoundFile() {
    const std::string folder = MediaFolder();
    for (const char* name : kPreferredSounds)
        if (FileExists(folder + name))
            return folder + name;
    const std::string anyWave = FirstWaveFile(folder);
    return anyWave.empty() ? folder + kFallbackSound : anyWave;
}
