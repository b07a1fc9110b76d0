#include "settings/AppConfig.h"
#include "settings/LangTable.h"

// The table itself knows nothing of the application constants; these bind it to them.
std::string GetText(int n) {
    return GetTextIn(AppConfig().languageIndex, n);
}
std::string GetMessage(int n) {
    return GetMessageIn(AppConfig().languageIndex, n);
}
std::string GetLanguageFolder() {
    return LanguageFolderFor(AppConfig().languageIndex, AppConfig().programFolder);
}
