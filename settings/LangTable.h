#pragma once
#include "settings/Languages.h"
#include <string>

// The numbered UI text and message tables, one column per UI language.
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

// A message format with its "%s" replaced by `title`, taken as plain text.
std::string WithTitle(const std::string& format, const std::string& title);

std::string GetTextIn(int language, int n);
std::string GetMessageIn(int language, int n);
std::string LanguageFolderFor(int language, const std::string& programFolder);
