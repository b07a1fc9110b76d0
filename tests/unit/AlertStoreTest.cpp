#include "alerts/AlertStore.h"
#include "AlertTestWorld.h"
#include "TempFolder.h"
#include "alerts/Evaluation.h"
#include "settings/SystemFolders.h"
#include <filesystem>
#include <optional>

namespace {
// Only the machine-wide values, as the media folder is kept there.
class MachineRegistry final : public Registry {
public:
    std::optional<std::string> mediaPath;
    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                          const std::string& name) override {
        if (root == RegistryRoot::LocalMachine &&
            key == "SOFTWARE\\Microsoft\\Windows\\CurrentVersion" && name == "MediaPath")
            return mediaPath;
        return std::nullopt;
    }
    bool WriteString(RegistryRoot, const std::string&, const std::string&,
                     const std::string&) override {
        return false;
    }
    bool DeleteValue(RegistryRoot, const std::string&, const std::string&) override {
        return false;
    }
};

AlertForm PriceForm() {
    AlertForm form;
    form.currency = "EURUSD";
    form.condition = kPriceAbove;
    form.price = "1.3000";
    form.notification = true;
    form.sound = true;
    form.soundfile = "C:\\Windows\\Media\\notify.wav";
    form.customOn = true;
    form.customText = "a\r\nb";
    form.repeatCount = "3";
    form.autoDelete = true;
    return form;
}

class AlertStore : public AlertWorld {};
} // namespace

TEST_F(AlertStore, NewAlertIsWrittenInKeyOrderAndReadBack) {
    clock.ticks = 98765;
    const std::string id = SaveAlert(alertsPath, PriceForm());
    EXPECT_EQ(id, "EURUSD98765");
    EXPECT_EQ(files.replaces, 1); // one replace: a crash leaves the whole alert or none of it
    EXPECT_EQ(AlertsText(), "[EURUSD98765]\r\ncurrency=EURUSD\r\nenabled=1\r\ncondition=0\r\n"
                            "price=1.3000\r\nmode=5\r\nsoundfile=C:\\Windows\\Media\\notify.wav\r\n"
                            "speaklen=0\r\nspeakname=1\r\ntraymsg=a@#@b\r\nalerttimes=3\r\n"
                            "autodelete=1\r\n");

    CAlertTable table;
    ReloadAlerts(table, alertsPath);
    ASSERT_EQ(table.Size(), 1u);
    EXPECT_EQ(table[0].id, "EURUSD98765");
    EXPECT_EQ(table[0].currency, "EURUSD");
    EXPECT_EQ(table[0].mode, "5");
    EXPECT_EQ(table[0].traymsg, "a@#@b"); // turned back only by the editor
    EXPECT_EQ(table[0].alerttimes, "3");
    EXPECT_EQ(table[0].autodelete, "1");
    EXPECT_EQ(table[0].firedCount, "0");
    EXPECT_EQ(table[0].lastFired, "");
    EXPECT_FALSE(table.loading);
}

TEST_F(AlertStore, EachConditionWritesOnlyItsOwnKeys) {
    AlertForm form = PriceForm();
    form.existingId = "EURUSD1";
    form.condition = kEveryPips;
    form.diffpips = "20";
    form.startPrice = "1.2500"; // the box may hold a text while "And" is off
    form.customOn = false;
    form.repeatCountEnabled = false;
    form.unlimited = true;
    SaveAlert(alertsPath, form);
    EXPECT_EQ(AlertsText(), "[EURUSD1]\r\nenabled=1\r\ncondition=2\r\ndiffpips=20\r\n"
                            "startcon=-1\r\nmode=5\r\nsoundfile=C:\\Windows\\Media\\notify.wav\r\n"
                            "speaklen=0\r\nspeakname=1\r\ntraymsg=\r\nalerttimes=-2\r\n"
                            "autodelete=1\r\n");

    files.files.clear();
    form.startOn = true;
    form.startComparison = 1;
    form.unlimited = false;
    form.voice = true;
    form.speakLastOn = true;
    form.speakDigits = 3;
    form.dontSpeakName = true;
    SaveAlert(alertsPath, form);
    EXPECT_NE(AlertsText().find("startcon=1\r\nstartpips=1.2500\r\nmode=7\r\n"), std::string::npos);
    EXPECT_NE(AlertsText().find("speaklen=3\r\nspeakname=0\r\n"), std::string::npos);
    EXPECT_NE(AlertsText().find("alerttimes=-1\r\n"), std::string::npos);

    files.files.clear();
    form.condition = kTimeOfDay;
    form.dateText = "2026-12-08";
    form.hourText = "-1";
    form.minute = "05";
    SaveAlert(alertsPath, form);
    EXPECT_NE(AlertsText().find("condition=4\r\ndate=\r\nhour=-1\r\nminute=05\r\nmode="),
              std::string::npos);
    files.files.clear();
    form.dateOn = true;
    form.condition = kEveryMinutes;
    form.intervalmins = "15";
    SaveAlert(alertsPath, form);
    EXPECT_NE(AlertsText().find("condition=3\r\nintervalmins=15\r\nmode="), std::string::npos);
}

// Its count box is greyed: such an alert holds within one minute only.
TEST_F(AlertStore, ADatedAlertAtASetHourCountsOneFiringAlsoFromOlderFiles) {
    struct Case {
        bool dateOn;
        const char* hour;
        bool unlimited;
        const char* stored;
    } cases[] = {{true, "14", false, "1"},
                 {true, "-1", false, "-1"},
                 {false, "14", false, "-1"},
                 {true, "14", true, "-2"}};
    AlertForm form = PriceForm();
    form.condition = kTimeOfDay;
    form.dateText = "2026-12-08";
    form.minute = "30";
    form.repeatCountEnabled = false;
    for (const Case& c : cases) {
        files.files.clear();
        form.dateOn = c.dateOn;
        form.hourText = c.hour;
        form.unlimited = c.unlimited;
        const std::string id = SaveAlert(alertsPath, form);
        EXPECT_EQ(LoadAlert(alertsPath, id)->alerttimes, c.stored) << c.dateOn << c.hour;
        // Written as older versions did: read with the count the editor writes now.
        files.files[alertsPath] = "[A]\r\ncondition=4\r\nhour=" + std::string(c.hour) +
                                  "\r\ndate=" + (c.dateOn ? "2026-12-08" : "") +
                                  "\r\nalerttimes=" + (c.unlimited ? "-2" : "-1") + "\r\n";
        EXPECT_EQ(LoadAllAlerts(alertsPath)[0].alerttimes, c.stored) << c.dateOn << c.hour;
    }
}

TEST_F(AlertStore, SwitchingOffKeepsTheOtherKeysAndTheTableEntry) {
    const std::string id = SaveAlert(alertsPath, PriceForm());
    AlertForm off = PriceForm();
    off.existingId = id;
    off.enabled = false;
    off.price = "9.9";
    SaveAlert(alertsPath, off);
    const std::string text = AlertsText();
    EXPECT_NE(text.find("enabled=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("price=1.3000\r\n"), std::string::npos);

    AddAlert("GBPUSD1", {{"currency", "GBPUSD"}, {"enabled", "1"}, {"condition", "1"}});
    CAlertTable table;
    ReloadAlerts(table, alertsPath);
    ASSERT_EQ(table.Size(), 2u);
    EXPECT_EQ(table[0].currency, "");
    EXPECT_EQ(table[0].level, "");
    EXPECT_EQ(table[0].firedCount, "");
    EXPECT_EQ(table[1].currency, "GBPUSD");

    off.enabled = true;
    SaveAlert(alertsPath, off);
    EXPECT_NE(AlertsText().find("enabled=1\r\ncondition=0\r\nprice=9.9\r\n"), std::string::npos);
}

TEST_F(AlertStore, ThreeSectionsWithTheMiddleOneOffFireTheOuterTwo) {
    AddAlert("EURUSD1", {{"currency", "EURUSD"},
                         {"enabled", "1"},
                         {"condition", "0"},
                         {"price", "1.15"},
                         {"mode", "1"},
                         {"alerttimes", "-2"}});
    AddAlert("EURUSD2", {{"currency", "EURUSD"},
                         {"enabled", "0"},
                         {"condition", "0"},
                         {"price", "0.5"},
                         {"mode", "1"},
                         {"alerttimes", "-2"}});
    AddAlert("EURUSD3", {{"currency", "EURUSD"},
                         {"enabled", "1"},
                         {"condition", "1"},
                         {"price", "1.05"},
                         {"mode", "1"},
                         {"alerttimes", "-2"}});
    CAlertBook book(alertsPath);
    book.ReloadAlerts();
    ASSERT_EQ(book.Table().Size(), 3u);
    EXPECT_EQ(book.Table()[1].currency, "");
    const std::string before = AlertsText();
    std::vector<std::string> fired;
    for (const char* price : {"1.2000", "1.0000", "1.1000", "1.2000"}) {
        clock.Advance(6);
        if (auto alert = book.CheckNotify("EURUSD", "1.1000", price))
            fired.push_back(alert->level);
    }
    EXPECT_EQ(fired, (std::vector<std::string>{"1.15", "1.05", "1.15"}));
    EXPECT_EQ(AlertsText(), before); // evaluation without auto-delete never writes
}

TEST_F(AlertStore, UnreadableSectionsLoadWithoutHarm) {
    files.files[alertsPath] = "[X1]\r\nenabled=1\r\ncurrency=EURUSD\r\ncondition=abc\r\n"
                              "price=high\r\nalerttimes=many\r\n[X1]\r\nenabled=1\r\n"
                              "[Y2]\r\nenabled= 1 \r\ntraymsg=" +
                              std::string(200000, 'x') + "\r\n";
    const std::string before = AlertsText();
    CAlertBook book(alertsPath);
    book.ReloadAlerts();
    EXPECT_EQ(book.Table().Size(), 3u);
    EXPECT_LE(book.Table()[2].traymsg.size(), 65534u);
    clock.Advance(6);
    EXPECT_FALSE(book.CheckNotify("EURUSD", "1.1", "1.2").has_value());
    EXPECT_EQ(AlertsText(), before);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AlertStore, OneReadingOfTheFileLoadsEveryRecord) {
    AddAlert("EURUSD1", {{"currency", "EURUSD"}, {"enabled", "1"}, {"price", "1.3"}});
    AddAlert("GBPUSD2", {{"currency", "GBPUSD"}, {"enabled", "0"}, {"traymsg", "x"}});
    AddAlert("eurusd1", {{"enabled", "1"}, {"price", "9"}}); // a name twice reads the first
    files.reads = 0;
    const std::vector<AlertRecord> all = LoadAllAlerts(alertsPath);
    EXPECT_EQ(files.reads, 1);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].traymsg, "x"); // the list shows a switched-off alert whole
    EXPECT_EQ(all[2].id, "eurusd1");
    EXPECT_EQ(all[2].level, "1.3");

    CAlertTable table;
    files.reads = 0;
    ReloadAlerts(table, alertsPath);
    EXPECT_EQ(files.reads, 1);
    EXPECT_EQ(table[1].traymsg, "");

    const std::optional<AlertRecord> one = LoadAlert(alertsPath, "GBPUSD2");
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(one->currency, "GBPUSD");
    EXPECT_EQ(one->enabled, "0");
    EXPECT_FALSE(LoadAlert(alertsPath, "GONE1").has_value());
}

TEST(AlertMessageText, LineBreaksForThePopupBlanksForTheListCell) {
    EXPECT_EQ(MessageLines("a@#@@#@b"), "a\r\n\r\nb");
    EXPECT_EQ(MessageOneLine("up@#@now@#@"), "up now ");
    EXPECT_EQ(StoredMessage(MessageLines("a@#@b")), "a@#@b");
}

TEST_F(AlertStore, DeleteAndClear) {
    AddAlert("EURUSD1", {{"enabled", "0"}});
    AddAlert("EURUSD2", {{"enabled", "0"}});
    DeleteAlert(alertsPath, "EURUSD1");
    EXPECT_EQ(AlertsText(), "[EURUSD2]\r\nenabled=0\r\n");
    ClearAlerts(alertsPath);
    EXPECT_EQ(files.files.count(alertsPath), 0u);
    CAlertTable table;
    ReloadAlerts(table, alertsPath);
    EXPECT_EQ(table.Size(), 0u);
}

TEST_F(AlertStore, IdRuleFallsBackToTheDateWhenTheTickTextIsShort) {
    clock.ticks = 0x80000000u;
    EXPECT_EQ(NewAlertId("EURUSD"), "EURUSD-2147483648");
    clock.ticks = 10;
    EXPECT_EQ(NewAlertId("EURUSD"), "EURUSD10");
    clock.ticks = 7;
    clock.Set("2026-03-05 04:07:09");
    EXPECT_EQ(NewAlertId("GOLD"), "GOLD135479");
}

TEST_F(AlertStore, LastUsedValuesFallBackToTheirDefaults) {
    EXPECT_EQ(LastUsedValue(LastUsedBox::PipStep), "20");
    EXPECT_EQ(LastUsedValue(LastUsedBox::PriceStep), "20");
    EXPECT_EQ(LastUsedValue(LastUsedBox::IntervalMinutes), "5");
    EXPECT_EQ(LastUsedValue(LastUsedBox::AlertTimes), "3");
    EXPECT_EQ(LastUsedValue(LastUsedBox::Hour), "-1");
    EXPECT_EQ(LastUsedValue(LastUsedBox::Minute), "00");
    RememberLastUsed(LastUsedBox::IntervalMinutes, "7");
    RememberLastUsed(LastUsedBox::Hour, "13");
    EXPECT_EQ(Config().Get("ASINTERVALMIN"), "7");
    EXPECT_EQ(LastUsedValue(LastUsedBox::IntervalMinutes), "7");
    EXPECT_EQ(LastUsedValue(LastUsedBox::Hour), "13");
    RememberLastUsed(LastUsedBox::Hour, "");
    EXPECT_EQ(LastUsedValue(LastUsedBox::Hour), "-1");
}

// On real files: the "any wave file" step lists the folder.
TEST(AlertDefaultSound, SearchOrderInTheMediaFolder) {
    TempFolder media;
    MachineRegistry registry;
    registry.mediaPath = media.path;
    SetCurrentRegistry(&registry);
    EXPECT_EQ(DefaultSoundFile(), media.path + "ringin.wav");
    WriteText(media.path + "chimes.wav", "RIFF");
    WriteText(media.path + "readme.txt", "");
    EXPECT_EQ(DefaultSoundFile(), media.path + "chimes.wav");
    WriteText(media.path + "ringin.wav", "RIFF");
    EXPECT_EQ(DefaultSoundFile(), media.path + "ringin.wav");
    WriteText(media.path + "ding.wav", "RIFF");
    EXPECT_EQ(DefaultSoundFile(), media.path + "ding.wav");
    std::filesystem::create_directory(media.path + "notify.wav"); // a folder is no file
    EXPECT_EQ(DefaultSoundFile(), media.path + "ding.wav");

    registry.mediaPath = "";
    EXPECT_EQ(DefaultSoundFile().substr(0, GetWindowsFolder().size() + 6),
              GetWindowsFolder() + "Media\\");
    SetCurrentRegistry(nullptr);
}
