#include <windows.h>

#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "settings/SystemFolders.h"
#include "settings/TextIds.h"
#include <functional>
#include <initializer_list>
#include <shlobj.h>
#include "settings/LangTable.h"

namespace {
const char* const kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using Source = std::function<std::string()>;

std::string SpecialFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    return SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE) ? Narrow(buffer) : "";
}

std::string ShellFolderValue(const char* name) {
    return CurrentRegistry()
        .ReadString(RegistryRoot::CurrentUser, kShellFoldersKey, name)
        .value_or("");
}

// The first source that answers wins; when none does, the user is told once.
std::string FirstFolder(std::initializer_list<Source> sources, const char* errorText) {
    for (const Source& source : sources) {
        std::string folder = source();
        if (folder.empty())
            continue;
        if (folder.back() != '\\')
            folder += '\\';
        return folder;
    }
    ShowMessageBox(errorText, GetMessage(kMsgProgramTitle));
    return "";
}
} // namespace

std::string GetWindowsFolder() {
    return FirstFolder({[] { return SpecialFolder(CSIDL_WINDOWS); },
                        [] {
                            wchar_t b[MAX_PATH] = {};
                            return GetWindowsDirectoryW(b, MAX_PATH) ? Narrow(b) : std::string();
                        },
                        [] { return EnvironmentValue("WINDIR"); }},
                       "INVWINPATH!");
}

std::string GetSystemFolder() {
    return FirstFolder({[] { return SpecialFolder(CSIDL_SYSTEM); },
                        [] {
                            wchar_t b[MAX_PATH] = {};
                            return GetSystemDirectoryW(b, MAX_PATH) ? Narrow(b) : std::string();
                        }},
                       "INVSYSPATH!");
}

std::string GetTempFolder() {
    return FirstFolder({[] {
                            wchar_t b[MAX_PATH + 1] = {};
                            return GetTempPathW(MAX_PATH + 1, b) ? Narrow(b) : std::string();
                        },
                        [] { return EnvironmentValue("TMP"); },
                        [] { return EnvironmentValue("TEMP"); }},
                       "INVTMPPATH!");
}

std::string GetDocumentsFolder() {
    return FirstFolder(
        {[] { return SpecialFolder(CSIDL_PERSONAL); }, [] { return ShellFolderValue("Personal"); }},
        "INVDOCPATH!");
}

std::string GetAppDataFolder() {
    return FirstFolder({[] { return SpecialFolder(CSIDL_APPDATA); },
                        [] { return EnvironmentValue("APPDATA"); },
                        [] { return ShellFolderValue("AppData"); }},
                       "INVAPPDATAPATH!");
}

std::string GetLocalAppDataFolder() {
    return FirstFolder({[] { return SpecialFolder(CSIDL_LOCAL_APPDATA); },
                        [] { return EnvironmentValue("LOCALAPPDATA"); },
                        [] { return ShellFolderValue("Local AppData"); }},
                       "INVLAPPDATAPATH!");
}
