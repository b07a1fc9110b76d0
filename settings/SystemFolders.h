#pragma once
#include <string>

// The system's standard folders, ending in "\\". When none of a folder's sources answers,
// the user is told (in the program's language) and "" comes back.
std::string GetWindowsFolder();
std::string GetSystemFolder();
std::string GetTempFolder();
std::string GetDocumentsFolder();
std::string GetAppDataFolder();
std::string GetLocalAppDataFolder();
