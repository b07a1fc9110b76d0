#pragma once
#include <string>

// The numbered UI text and message tables, one column per UI language.
inline constexpr int kLangEnglish = 0;
inline constexpr int kLangChinese = 1;
inline constexpr int kLangThird = 2; // no texts of its own; falls back to Chinese
inline constexpr int kUiLanguageCount = 3;
inline constexpr int kUiTextEntries = 340;
inline constexpr int kMessageEntries = 120;

// <windows.h> maps GetMessage to GetMessageW; Win32 files that include both call
// GetMessageW explicitly for their message loop.
#ifdef GetMessage
#undef GetMessage
#endif

// In the current UI language; "" for an entry out of range or without a text.
std::string GetText(int n);
std::string GetMessage(int n);
// Program folder + "data\cnf\" for Chinese, "data\enf\" otherwise (the voice clips).
std::string GetLanguageFolder();

std::string GetTextIn(int language, int n);
std::string GetMessageIn(int language, int n);
std::string LanguageFolderFor(int language, const std::string& programFolder);
