#include "alerts/AlertStore.h"
#include "alerts/WaveFiles.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/SysPaths.h"
#include <cstdint>

namespace {
constexpr std::size_t kShortestTickText = 2;
constexpr const char* kMediaKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kMediaValue = "MediaPath";
constexpr const char* kMediaSubfolder = "Media\\";
constexpr const char* kPreferredSounds[] = {"notify.wav", "ding.wav", "ringin.wav"};
constexpr const char* kFallbackSound = "ringin.wav";
const std::string kZeroCount = "0";

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

std::vector<std::vector<std::string>*> StoredLists(CAlertTable& t) {
    return {&t.id,           &t.currency,  &t.condition,  &t.enabled,   &t.mode,      &t.price,
            &t.diffpips,     &t.startcon,  &t.startpips,  &t.date,      &t.hour,      &t.minute,
            &t.intervalmins, &t.traymsg,   &t.speaklen,   &t.speakname, &t.soundfile, &t.alerttimes,
            &t.autodelete,   &t.lastFired, &t.firedCount, &t.reference};
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

void WriteConditionKeys(CIniFile& file, const std::string& id, const AlertForm& form) {
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
    default:
        break;
    }
}
} // namespace

void ReloadAlerts(CAlertTable& table, const std::string& alertsPath) {
    using namespace alertkey;
    LoadingScope loading(table.loading);
    const auto lists = StoredLists(table);
    for (auto* list : lists)
        list->clear();
    CIniFile file;
    file.SetPath(alertsPath);
    std::vector<std::string> sections;
    const std::size_t count = static_cast<std::size_t>(file.GetSectionNames(sections));
    for (auto* list : lists)
        list->resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& id = sections[i];
        table.id[i] = id;
        table.enabled[i] = file.GetString(id, kEnabled);
        if (table.enabled[i] != "1")
            continue;
        table.currency[i] = file.GetString(id, kCurrency);
        table.condition[i] = file.GetString(id, kCondition);
        table.mode[i] = file.GetString(id, kMode);
        table.price[i] = file.GetString(id, kPrice);
        table.diffpips[i] = file.GetString(id, kDiffPips);
        table.startcon[i] = file.GetString(id, kStartCon);
        table.startpips[i] = file.GetString(id, kStartPips);
        table.date[i] = file.GetString(id, kDate);
        table.hour[i] = file.GetString(id, kHour);
        table.minute[i] = file.GetString(id, kMinute);
        table.intervalmins[i] = file.GetString(id, kIntervalMins);
        table.traymsg[i] = file.GetString(id, kTrayMsg);
        table.speaklen[i] = file.GetString(id, kSpeakLen);
        table.speakname[i] = file.GetString(id, kSpeakName);
        table.soundfile[i] = file.GetString(id, kSoundFile);
        table.alerttimes[i] = file.GetString(id, kAlertTimes);
        table.autodelete[i] = file.GetString(id, kAutoDelete);
        table.lastFired[i].clear();
        table.firedCount[i] = kZeroCount;
        table.reference[i].clear();
    }
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

std::string SaveAlert(const std::string& alertsPath, const AlertForm& form) {
    using namespace alertkey;
    CIniFile file;
    file.SetPath(alertsPath);
    std::string id = form.existingId;
    if (id.empty()) {
        if (form.currency.empty())
            return id;
        id = NewAlertId(form.currency);
        file.WriteString(id, kCurrency, form.currency);
    }
    if (!form.enabled) {
        file.WriteString(id, kEnabled, "0");
        return id;
    }
    file.WriteString(id, kEnabled, "1");
    file.WriteInt(id, kCondition, form.condition);
    WriteConditionKeys(file, id, form);
    const int mode = (form.notification ? kActionPopup : 0) + (form.voice ? kActionVoice : 0) +
                     (form.sound ? kActionSound : 0) + (form.email ? kActionEmail : 0);
    file.WriteInt(id, kMode, mode);
    file.WriteString(id, kSoundFile, form.soundfile);
    file.WriteString(id, kSpeakLen, form.speakLastOn ? std::to_string(form.speakDigits) : "0");
    file.WriteString(id, kSpeakName, form.dontSpeakName ? "0" : "1");
    const bool custom = form.notification && form.customOn;
    file.WriteString(id, kTrayMsg,
                     custom ? ReplaceAll(form.customText, "\r\n", kStoredLineBreak) : "");
    file.WriteString(id, kAlertTimes,
                     form.repeatCountEnabled ? form.repeatCount
                     : form.unlimited        ? kUnlimited
                                             : kNoCountInForce);
    file.WriteString(id, kAutoDelete, form.autoDelete ? "1" : "0");
    return id;
}

void DeleteAlert(const std::string& alertsPath, const std::string& id) {
    CIniFile file;
    file.SetPath(alertsPath);
    file.DeleteSection(id);
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
