#pragma once
#include <string>

// The UI language the system asks for: 1 (Chinese) on a Chinese (PRC) user, locale or
// installation, else 0; the argument "en" asks for English whatever the system is.
int DetectUiLanguage(int userLangId, int systemLcid, const std::string& arguments);
