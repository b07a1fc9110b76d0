#include "settings/LanguageDetect.h"
#include "platform/Registry.h"
#include "settings/Languages.h"

namespace {
constexpr int kChinesePrcLangId = 2052; // 0x0804
constexpr const char* kNlsLanguageKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language";
constexpr const char* kInstallLanguageValue = "InstallLanguage";
constexpr const char* kChinesePrcInstallLanguage = "0804";
constexpr const char* kEnglishArgument = "en";

bool InstalledInChinese() {
    const auto value = CurrentRegistry().ReadString(RegistryRoot::LocalMachine, kNlsLanguageKey,
                                                    kInstallLanguageValue);
    return value && *value == kChinesePrcInstallLanguage;
}
} // namespace

int DetectUiLanguage(int userLangId, int systemLcid, const std::string& arguments) {
    if (arguments == kEnglishArgument)
        return kLangEnglish;
    const bool chinese =
        userLangId == kChinesePrcLangId || systemLcid == kChinesePrcLangId || InstalledInChinese();
    return chinese ? kLangChinese : kLangEnglish;
}
