#include <windows.h>

#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "settings/SysPaths.h"
#include "settings/TextIds.h"
#include <functional>
#include <initializer_list>
#include <shlobj.h>
#include <vector>
#include "settings/LangTable.h"

namespace {
constexpr DWORD kPathBuffer = 260;
constexpr DWORD kEnvironmentBuffer = 260; // at most 259 characters and the zero
const char* const kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using Source = std::function<std::string()>;

std::string SpecialFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    return SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE) ? Narrow(buffer) : "";
}

std::string EnvironmentValue(const wchar_t* name) {
    wchar_t buffer[kEnvironmentBuffer] = {};
    const DWORD n = GetEnvironmentVariableW(name, buffer, kEnvironmentBuffer);
    return n > 0 && n < kEnvironmentBuffer ? Narrow(buffer) : "";
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

// Grows the buffer rather than give a cut-off path, which would name some other file.
std::string GetProgramPath() {
    std::wstring buffer(kPathBuffer, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return "";
        if (length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string GetCommandLineText() {
    return Narrow(GetCommandLineW());
}

std::string GetProgramVersion(const std::string& file) {
    const std::wstring path = Widen(file);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return "";
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return "";
    struct Translation {
        WORD language, codePage;
    };
    Translation* translations = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &bytes))
        return "";
    std::string result;
    for (UINT i = 0; i < bytes / sizeof(Translation); ++i) {
        wchar_t query[64];
        wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[i].language,
                  translations[i].codePage);
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length) ||
            !value)
            continue;
        if (!result.empty())
            result += ';';
        result += NormaliseVersionValue(Narrow(value));
    }
    return JoinVersionValues(result);
}

std::string GetWindowsFolder() {
    return FirstFolder({[] { return SpecialFolder(CSIDL_WINDOWS); },
                        [] {
                            wchar_t b[MAX_PATH] = {};
                            return GetWindowsDirectoryW(b, MAX_PATH) ? Narrow(b) : std::string();
                        },
                        [] { return EnvironmentValue(L"WINDIR"); }},
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
                        [] { return EnvironmentValue(L"TMP"); },
                        [] { return EnvironmentValue(L"TEMP"); }},
                       "INVTMPPATH!");
}

std::string GetDocumentsFolder() {
    return FirstFolder(
        {[] { return SpecialFolder(CSIDL_PERSONAL); }, [] { return ShellFolderValue("Personal"); }},
        "INVDOCPATH!");
}

std::string GetAppDataFolder() {
    return FirstFolder({[] { return SpecialFolder(CSIDL_APPDATA); },
                        [] { return EnvironmentValue(L"APPDATA"); },
                        [] { return ShellFolderValue("AppData"); }},
                       "INVAPPDATAPATH!");
}

std::string GetLocalAppDataFolder() {
    return FirstFolder({[] { return SpecialFolder(CSIDL_LOCAL_APPDATA); },
                        [] { return EnvironmentValue(L"LOCALAPPDATA"); },
                        [] { return ShellFolderValue("Local AppData"); }},
                       "INVLAPPDATAPATH!");
}

std::string GetMachineName() {
    // The ANSI form turns a name the code page cannot hold into question marks.
    DWORD size = 0;
    GetComputerNameA(nullptr, &size);
    std::string name;
    if (size > 0) {
        std::string buffer(size, '\0');
        if (GetComputerNameA(buffer.data(), &size))
            name = AnsiToUtf8(buffer.substr(0, size));
    }
    return ChooseMachineName(name, EnvironmentValue(L"COMPUTERNAME"));
}
