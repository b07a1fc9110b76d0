#pragma once
#include "settings/Languages.h"
#include <array>
#include <string>
#include <string_view>

// How the language tables are filled; only the table and its tests use this.
using TextColumn = std::array<std::string, kUiTextEntries>;
void FillEnglishTexts(TextColumn& column);
void FillChineseTexts(TextColumn& column);

// Message entry n of a language as the program stores it (enciphered), and deciphered.
// Both are empty for an entry out of range.
std::string_view SealedMessage(int language, int n);
std::string UnsealMessage(int language, int n);
