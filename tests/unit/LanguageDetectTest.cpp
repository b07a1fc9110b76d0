#include "settings/LanguageDetect.h"
#include "platform/Registry.h"
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace {
class FakeRegistry final : public Registry {
public:
    std::map<std::tuple<RegistryRoot, std::string, std::string>, std::string> values;

    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                          const std::string& name) override {
        const auto found = values.find({root, key, name});
        if (found == values.end())
            return std::nullopt;
        return found->second;
    }
    bool WriteString(RegistryRoot, const std::string&, const std::string&,
                     const std::string&) override {
        return false;
    }
    bool DeleteValue(RegistryRoot, const std::string&, const std::string&) override {
        return false;
    }
};

constexpr int kChinesePrc = 2052;
constexpr int kEnglishUs = 1033;
const std::string kNlsKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language";

class LanguageDetect : public ::testing::Test {
protected:
    void SetUp() override { SetCurrentRegistry(&registry); }
    void TearDown() override { SetCurrentRegistry(nullptr); }
    void Install(RegistryRoot root, const std::string& value) {
        registry.values[{root, kNlsKey, "InstallLanguage"}] = value;
    }
    FakeRegistry registry;
};
} // namespace

TEST_F(LanguageDetect, ChineseUserLocaleOrInstallation) {
    EXPECT_EQ(DetectUiLanguage(kEnglishUs, kEnglishUs, ""), 0);
    EXPECT_EQ(DetectUiLanguage(kChinesePrc, kEnglishUs, ""), 1);
    EXPECT_EQ(DetectUiLanguage(kEnglishUs, kChinesePrc, ""), 1);
    EXPECT_EQ(DetectUiLanguage(1028, 1028, ""), 0); // Chinese (Taiwan) is not 2052

    Install(RegistryRoot::LocalMachine, "0409");
    EXPECT_EQ(DetectUiLanguage(kEnglishUs, kEnglishUs, ""), 0);
    Install(RegistryRoot::LocalMachine, "0804");
    EXPECT_EQ(DetectUiLanguage(kEnglishUs, kEnglishUs, ""), 1);
}

TEST_F(LanguageDetect, InstallLanguageOnlyFromLocalMachine) {
    Install(RegistryRoot::CurrentUser, "0804");
    EXPECT_EQ(DetectUiLanguage(kEnglishUs, kEnglishUs, ""), 0);
}

TEST_F(LanguageDetect, EnglishArgumentWins) {
    Install(RegistryRoot::LocalMachine, "0804");
    EXPECT_EQ(DetectUiLanguage(kChinesePrc, kChinesePrc, "en"), 0);
    for (const char* other : {"EN", "en ", " en", "english", "/caller en"})
        EXPECT_EQ(DetectUiLanguage(kChinesePrc, kEnglishUs, other), 1) << other;
}
