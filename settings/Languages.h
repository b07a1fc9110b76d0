#pragma once
// The UI languages, as the text tables' columns and the settings number them, and the
// size of those tables.
inline constexpr int kLangEnglish = 0;
inline constexpr int kLangChinese = 1;
inline constexpr int kLangThird = 2; // no texts of its own; falls back to Chinese
inline constexpr int kUiLanguageCount = 3;
inline constexpr int kUiTextEntries = 340;
inline constexpr int kMessageEntries = 120;
