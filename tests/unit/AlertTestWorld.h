#pragma once
// The surroundings of the alert tests: a clock the test moves, the files in memory, the
// English texts, recorded sounds and message boxes.
#include "FakeDesktop.h"
#include "alerts/Evaluation.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

class SteppingClock final : public Clock {
public:
    LocalTime now{2026, 12, 8, 14, 29, 50, 0};
    std::uint32_t ticks = 123456;

    LocalTime Now() const override { return now; }
    std::uint32_t TickCount() const override { return ticks; }
    void Set(const std::string& text) { SplitDateTime(ParseDateTime(text), now); }
    void Advance(int seconds) {
        const DateTimeValue moved{DateTimeFromLocalTime(now).date + seconds / 86400.0,
                                  DateTimeStatus::Valid};
        SplitDateTime(moved, now);
        ticks += static_cast<std::uint32_t>(seconds) * 1000u;
    }
};

class RecordingSound final : public Sound {
public:
    std::vector<std::string>* events = nullptr; // "sync:<file>" / "async:<file>"
    bool PlaySync(const std::string& file) override {
        events->push_back("sync:" + file);
        return true;
    }
    bool PlayAsync(const std::string& file) override {
        events->push_back("async:" + file);
        return true;
    }
};

inline AppEnvironment AlertTestEnvironment() {
    AppEnvironment environment;
    environment.programPath = "C:\\pw\\file\\Pipwarden.exe";
    environment.commandLine = "\"C:\\pw\\file\\Pipwarden.exe\"";
    return environment;
}

class AlertWorld : public ::testing::Test {
protected:
    AlertWorld() : app(AlertTestEnvironment()) {}

    void SetUp() override {
        app.languageIndex = kEnglish;
        SetAppConfig(&app);
        SetFiles(&files);
        SetCurrentClock(&clock);
        sound.events = &events;
        SetCurrentSound(&sound);
        SetMessageSink(
            [this](const std::string& text, const std::string&) { boxes.push_back(text); });
    }
    void TearDown() override {
        SetMessageSink({});
        SetCurrentSound(nullptr);
        SetCurrentClock(nullptr);
        SetFiles(nullptr);
        SetAppConfig(nullptr);
    }

    // One alert section of the alerts file, keys in the given order.
    void AddAlert(const std::string& id,
                  const std::vector<std::pair<std::string, std::string>>& keys) {
        std::string& text = files.files[alertsPath];
        text += "[" + id + "]\r\n";
        for (const auto& [key, value] : keys)
            text += key + "=" + value + "\r\n";
    }
    std::string AlertsText() { return files.files[alertsPath]; }

    static constexpr int kEnglish = 0;
    const std::string alertsPath = "C:\\pw\\file\\fxconset.ini";
    CAppConfig app;
    FakeFiles files;
    SteppingClock clock;
    RecordingSound sound;
    std::vector<std::string> events;
    std::vector<std::string> boxes;
};

// The alerts file loaded into a book and the EURUSD column refreshed as the bar's tick does:
// `step` seconds pass before a refresh unless it says otherwise.
class EvaluationWorld : public AlertWorld {
protected:
    explicit EvaluationWorld(int step) : step(step) {}

    void Load() {
        book.SetPath(alertsPath);
        book.ReloadAlerts();
    }
    // The cell's old text becomes the previous price; the ask, when given, is the other side.
    bool Refresh(const std::string& price) { return Refresh(price, step); }
    bool Refresh(const std::string& price, int secondsLater, const std::string& ask = "") {
        clock.Advance(secondsLater);
        const QuoteSides sides{price, ask};
        const auto fired = book.CheckNotify("EURUSD", cell, price, ask.empty() ? nullptr : &sides);
        cell = price;
        if (fired)
            firings.push_back(*fired);
        return fired.has_value();
    }
    std::vector<bool> Refreshes(const std::vector<std::string>& prices) {
        return Refreshes(prices, step);
    }
    std::vector<bool> Refreshes(const std::vector<std::string>& prices, int seconds) {
        std::vector<bool> fired;
        for (const auto& price : prices)
            fired.push_back(Refresh(price, seconds));
        return fired;
    }
    const CAlertTable& Table() const { return book.Table(); }

    const int step;
    CAlertBook book;
    std::string cell = "1.2000";
    std::vector<FiredAlert> firings;
};
