#pragma once
#include <string>

// Program text is UTF-8; wide strings exist only at the system boundary.
bool IsValidUtf8(const std::string& text);
std::wstring Widen(const std::string& utf8);  // invalid sequences become U+FFFD
std::string Narrow(const std::wstring& wide); // unpaired surrogates become U+FFFD

// Text in the system's ANSI code page (GBK on Chinese Windows), as older files hold it.
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);

// ASCII-only case helpers: names in settings files are compared without case.
std::string ToUpperAscii(std::string text);
std::string ToLowerAscii(std::string text);
bool EqualsNoCase(const std::string& a, const std::string& b);
std::string TrimBlanks(const std::string& text); // blanks and tabs at both ends
