#include "tools/crash/SettingsChurn.h"
#include "alerts/AlertStore.h"
#include "platform/FileSystem.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "settings/IniDocument.h"
#include "settings/IniFile.h"
#include <climits>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

namespace churn {
namespace {
constexpr int kChurnKeys = 24;
constexpr int kAlerts = 4;
constexpr int kSteps = kChurnKeys + kAlerts;
static_assert(kSteps % kAlerts == 0, "an alert closes every group of writes");
constexpr std::size_t kValueFill = 120;
constexpr char kSettingsTag[] = "cfg";
constexpr char kAlertsTag[] = "ini";
// Written once: the churn must never cost them.
const char* const kStillKeys[][2] = {
    {"DISPLAYCURRENCY", "EURUSD,GBPUSD,USDJPY,GOLD,"},
    {"SHOWBIDPRICE", "1"},
    {"COLUMNWIDTHS", "64,64,64,64,"},
};
constexpr int kConditions[kAlerts] = {kPriceAbove, kEveryPips, kEveryMinutes, kTimeOfDay};

std::string ChurnKey(int key) {
    return "CHURN" + std::to_string(key);
}

// Begins with the generation, so that a value tells which generation wrote it.
std::string ChurnValue(int key, std::uint32_t generation) {
    return std::to_string(generation) + "-" + std::to_string(key) + "-" +
           std::string(kValueFill, static_cast<char>('a' + (generation + key) % 26));
}

std::string AlertId(int alert) {
    return "CHURNPAIR" + std::to_string(alert);
}

// Each text the generation shapes begins with its first run of digits.
AlertForm FormOf(int alert, std::uint32_t generation) {
    const std::string g = std::to_string(generation);
    AlertForm form;
    form.existingId = AlertId(alert);
    form.currency = "EURUSD";
    form.condition = kConditions[alert];
    form.price = g + ".25";
    form.diffpips = g;
    form.startOn = true;
    form.startComparison = 1;
    form.startPrice = g + ".5";
    form.intervalmins = g;
    form.dateOn = true;
    form.dateText = g + "/12/08";
    form.hourText = "7";
    form.minute = "30";
    form.notification = form.sound = true;
    form.soundfile = "C:\\sounds\\alert" + g + ".wav";
    form.speakLastOn = true;
    form.speakDigits = 3;
    form.customOn = true;
    form.customText = "Level " + g + "\r\ncheck the chart";
    form.repeatCount = g;
    return form;
}

// The first run of decimal digits in a text.
std::optional<std::uint32_t> FirstNumber(const std::string& text) {
    const std::size_t start = text.find_first_of("0123456789");
    if (start == std::string::npos)
        return std::nullopt;
    const std::size_t end = text.find_first_not_of("0123456789", start);
    const std::string digits = text.substr(start, end == std::string::npos ? end : end - start);
    if (digits.size() > 10 || std::stoull(digits) > UINT32_MAX)
        return std::nullopt;
    return static_cast<std::uint32_t>(std::stoull(digits));
}

// Files in memory, to learn what the alert store writes for a form.
class MemoryFiles final : public FileSystem {
public:
    std::map<std::string, std::string> files;
    PathKind Kind(const std::string& path) override {
        return files.count(path) ? PathKind::File : PathKind::Missing;
    }
    bool ReadAll(const std::string& path, std::string& content) override {
        content = files.count(path) ? files[path] : "";
        return files.count(path) > 0;
    }
    bool ReplaceAtomically(const std::string& path, const std::string& content) override {
        files[path] = content;
        return true;
    }
    bool Append(const std::string& path, const std::string& content) override {
        files[path] += content;
        return true;
    }
    bool IsReadOnly(const std::string&) override { return false; }
    bool ClearReadOnly(const std::string&) override { return true; }
    bool Delete(const std::string& path) override { return files.erase(path) > 0; }
    std::int64_t Size(const std::string& path) override {
        return files.count(path) ? static_cast<std::int64_t>(files[path].size()) : -1;
    }
};

// The alert's keys as the alert store writes them for the generation.
const IniDocument::Section& ExpectedAlert(int alert, std::uint32_t generation) {
    static std::map<std::pair<int, std::uint32_t>, IniDocument::Section> known;
    const auto key = std::make_pair(alert, generation);
    if (auto found = known.find(key); found != known.end())
        return found->second;
    if (known.size() > 4096)
        known.clear();
    MemoryFiles memory;
    SetFiles(&memory);
    CIniFile file;
    file.SetPath("alerts");
    file.WriteString(AlertId(alert), alertkey::kCurrency, "EURUSD");
    SaveAlert("alerts", FormOf(alert, generation));
    SetFiles(nullptr);
    return known[key] = IniDocument(memory.files["alerts"]).Sections().at(0);
}

std::string Expected(const std::string& file, const std::string& section, const std::string& key,
                     std::uint32_t generation) {
    if (file == kSettingsTag) {
        for (int k = 0; k < kChurnKeys; ++k)
            if (key == ChurnKey(k))
                return ChurnValue(k, generation);
        return {};
    }
    for (int alert = 0; alert < kAlerts; ++alert)
        if (section == AlertId(alert))
            return ExpectedAlert(alert, generation).Get(key);
    return {};
}

// The file's values, or a description of why it is not whole.
std::string ReadValues(const std::string& path, const std::string& tag, Values& values) {
    std::string content;
    if (!PlatformFiles().ReadAll(path, content))
        return tag + " file missing";
    const IniDocument document(content);
    if (document.Render() != content)
        return tag + " file is not as the writer renders it";
    for (const IniDocument::Section& section : document.Sections())
        for (const auto& [key, value] : section.entries)
            values[tag + "|" + section.name + "|" + key] = value;
    return {};
}

std::string Describe(const std::string& name, const std::string& value) {
    return name + "=" + (value.size() > 40 ? value.substr(0, 40) + "..." : value);
}
} // namespace

std::string SettingsPath(const std::string& folder) {
    return folder + "pipward.cfg";
}

std::string AlertsPath(const std::string& folder) {
    return folder + "fxconset.ini";
}

struct Writer::State {
    std::unique_ptr<CAppConfig> app;
    CConfig config;
    CIniFile alerts;
    std::string alertsPath;
};

Writer::Writer(const std::string& folder) : state(std::make_unique<State>()) {
    AppEnvironment environment;
    environment.programPath = folder + "Pipwarden.exe";
    environment.commandLine = "\"" + environment.programPath + "\"";
    state->app = std::make_unique<CAppConfig>(environment);
    SetAppConfig(state->app.get());
    state->alertsPath = AlertsPath(folder);
    state->alerts.SetPath(state->alertsPath);
}

Writer::~Writer() {
    SetAppConfig(nullptr);
}

void Writer::Write(std::uint32_t generation) {
    if (generation == 0) {
        for (const auto& still : kStillKeys)
            state->config.Set(still[0], still[1]);
        for (int alert = 0; alert < kAlerts; ++alert)
            state->alerts.WriteString(AlertId(alert), alertkey::kCurrency, "EURUSD");
    }
    for (int step = 0; step < kSteps; ++step)
        WriteStep(step, generation);
}

// Every seventh write is a whole alert (a replace per key), the others one settings key,
// so that a kill meets either file's writes.
void Writer::WriteStep(int step, std::uint32_t generation) {
    constexpr int kAlertEvery = kSteps / kAlerts;
    if (step % kAlertEvery == kAlertEvery - 1)
        SaveAlert(state->alertsPath, FormOf(step / kAlertEvery, generation));
    else
        state->config.Set(ChurnKey(step - step / kAlertEvery),
                          ChurnValue(step - step / kAlertEvery, generation));
}

void Writer::WriteForever(std::uint32_t first, unsigned firstWrite) {
    int step = static_cast<int>(firstWrite % kSteps);
    for (std::uint32_t generation = first;; ++generation, step = 0)
        for (; step < kSteps; ++step)
            WriteStep(step, generation);
}

std::string ReadFiles(const std::string& folder, Values& values) {
    values.clear();
    std::string fault = ReadValues(SettingsPath(folder), kSettingsTag, values);
    return fault.empty() ? ReadValues(AlertsPath(folder), kAlertsTag, values) : fault;
}

std::string CheckFiles(const std::string& folder, const Values& before, std::uint32_t first,
                       Values& now) {
    if (std::string fault = ReadFiles(folder, now); !fault.empty())
        return fault;
    for (const auto& [name, old] : before)
        if (!now.count(name))
            return "lost " + Describe(name, old);
    for (const auto& [name, value] : now) {
        const auto old = before.find(name);
        if (old == before.end())
            return "unknown " + Describe(name, value);
        if (value == old->second)
            continue;
        const std::size_t bar1 = name.find('|'), bar2 = name.find('|', bar1 + 1);
        const std::optional<std::uint32_t> generation = FirstNumber(value);
        if (!generation || *generation < first || *generation - first >= kRoundSpan ||
            value != Expected(name.substr(0, bar1), name.substr(bar1 + 1, bar2 - bar1 - 1),
                              name.substr(bar2 + 1), *generation))
            return "neither old nor new: " + Describe(name, value) + " (was " +
                   Describe(name, old->second) + ")";
    }
    return {};
}

std::vector<std::string> TemporaryFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        for (const std::string& target : {SettingsPath(""), AlertsPath("")})
            if (ReplacementTempOwner(name, target))
                names.push_back(name);
    }
    return names;
}

} // namespace churn
