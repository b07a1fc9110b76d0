#include "settings/LangTable.h"
#include "settings/LangColumns.h"

namespace {
using TextTable = std::array<TextColumn, kUiLanguageCount>;

TextTable FillTextTable() {
    TextTable table;
    FillEnglishTexts(table[kLangEnglish]);
    FillChineseTexts(table[kLangChinese]);
    return table;
}

const TextTable& Texts() {
    static const TextTable table = FillTextTable();
    return table;
}

bool InRange(int value, int count) {
    return value >= 0 && value < count;
}

// Texts may carry line breaks written as a backslash and the letter n.
std::string ExpandLineBreaks(const std::string& text) {
    std::string expanded;
    expanded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            expanded += '\n';
            ++i;
        } else {
            expanded += text[i];
        }
    }
    return expanded;
}
} // namespace

std::string GetTextIn(int language, int n) {
    if (!InRange(language, kUiLanguageCount) || !InRange(n, kUiTextEntries))
        return "";
    std::string text = Texts()[language][n];
    if (text.empty() && language == kLangThird)
        text = Texts()[kLangChinese][n];
    return ExpandLineBreaks(text);
}

std::string GetMessageIn(int language, int n) {
    if (!InRange(language, kUiLanguageCount) || !InRange(n, kMessageEntries))
        return "";
    std::string text = UnsealMessage(language, n);
    if (text.empty() && language == kLangThird)
        text = UnsealMessage(kLangChinese, n);
    return ExpandLineBreaks(text);
}

std::string LanguageFolderFor(int language, const std::string& programFolder) {
    // Follow the folder's own separator so the POSIX build finds the clips too.
    const bool slash = !programFolder.empty() && programFolder.back() == '/';
    const char* const sub = language == kLangChinese ? (slash ? "data/cnf/" : "data\\cnf\\")
                                                     : (slash ? "data/enf/" : "data\\enf\\");
    return programFolder + sub;
}

std::string WithTitle(const std::string& format, const std::string& title) {
    std::string text = format;
    const std::size_t mark = text.find("%s");
    if (mark != std::string::npos)
        text.replace(mark, 2, title);
    return text;
}
