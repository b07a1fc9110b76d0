#include "AlertTestWorld.h"
#include "alerts/Actions.h"

namespace {
const std::string kVoice = "V\\";

class SpeakClips : public AlertWorld {
protected:
    void Clips(std::initializer_list<const char*> names) {
        for (const char* name : names)
            files.files[kVoice + name] = "RIFF";
    }
    std::vector<std::string> Heard(const std::string& symbol, const std::string& price,
                                   long long digits, const std::string& speakName) {
        std::vector<std::string> names;
        for (const std::string& clip : SpeechClips(symbol, price, digits, speakName, kVoice))
            names.push_back(clip.substr(kVoice.size()));
        return names;
    }
    using Names = std::vector<std::string>;
};
} // namespace

TEST_F(SpeakClips, ClipNamesFollowTheLetterRule) {
    EXPECT_EQ(ClipFileName("ONE"), "EOSNWE.MTQ");
    EXPECT_EQ(ClipFileName("EUR"), "EESUWR.MTQ");
    EXPECT_EQ(ClipFileName("EPS"), "EESPWS.MTQ");
    EXPECT_EQ(ClipFileName("NUL"), "ENSUWL.MTQ");
}

TEST_F(SpeakClips, PriceCharactersWithTheDigitCount) {
    EXPECT_EQ(Heard("EURUSD", "1.2345", 2, "0"), (Names{"EFSOWU.MTQ", "EFSIWV.MTQ"}));
    EXPECT_EQ(Heard("USDJPY", "109.5", 0, "0"),
              (Names{"EOSNWE.MTQ", "EZSEWR.MTQ", "ENSIWN.MTQ", "EESPWS.MTQ", "EFSIWV.MTQ"}));
    EXPECT_EQ(Heard("X", "1-", 9, "0"), (Names{"EOSNWE.MTQ", "ENSUWL.MTQ"}));
    EXPECT_EQ(Heard("X", "", 0, "1"), Names{});
}

TEST_F(SpeakClips, NameFallbacks) {
    Clips({"EESUWR.MTQ", "EUSSWD.MTQ"}); // EUR, USD
    EXPECT_EQ(Heard("EURUSD", "1", 0, "1"), (Names{"EESUWR.MTQ", "EUSSWD.MTQ", "EOSNWE.MTQ"}));
    // EUR.USD_m is EURUSDm: no clip for SDm, so its first six characters are spoken.
    EXPECT_EQ(Heard("EUR.USD_m", "1", 0, "1"), (Names{"EESUWR.MTQ", "EUSSWD.MTQ", "EOSNWE.MTQ"}));
    Clips({"ESWEUR.MTQ"});
    EXPECT_EQ(Heard("EURUSD", "1", 0, "1"), (Names{"ESWEUR.MTQ", "EOSNWE.MTQ"}));
    // The last six characters are the last resort.
    Clips({"EXSAWU.MTQ"});
    EXPECT_EQ(Heard("mmXAUUSD", "1", 0, "1"), (Names{"EXSAWU.MTQ", "EUSSWD.MTQ", "EOSNWE.MTQ"}));
    EXPECT_EQ(Heard("GBPCHF", "1", 0, "1"), (Names{"EOSNWE.MTQ"})); // name not spoken
    files.folders[kVoice + "EGSBWP.MTQ"] = {};
    files.files[kVoice + "ECSHWF.MTQ"] = "RIFF";
    EXPECT_EQ(Heard("GBPCHF", "1", 0, "1"), (Names{"EOSNWE.MTQ"})); // a folder is no clip
}

TEST_F(SpeakClips, SpeakPlaysEachClipAndPumpsAfterIt) {
    int pumps = 0;
    Speak("EURUSD", "1.2", 0, "0", [&] {
        ++pumps;
        EXPECT_EQ(events.size(), static_cast<std::size_t>(pumps));
    });
    EXPECT_EQ(pumps, 3);
    EXPECT_EQ(events, (std::vector<std::string>{"sync:C:\\pw\\file\\data\\enf\\EOSNWE.MTQ",
                                                "sync:C:\\pw\\file\\data\\enf\\EESPWS.MTQ",
                                                "sync:C:\\pw\\file\\data\\enf\\ETSWWO.MTQ"}));
    events.clear();
    app.languageIndex = 1;
    Speak("EURUSD", "7", 0, "0", {});
    EXPECT_EQ(events, (std::vector<std::string>{"sync:C:\\pw\\file\\data\\cnf\\ESSEWV.MTQ"}));
}
