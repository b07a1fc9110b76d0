#include <windows.h>

#include "platform/Process.h"
#include "platform/Text.h"
#include "settings/SysPaths.h"
#include <vector>

namespace {
constexpr DWORD kPathBuffer = 260;
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
    return ChooseMachineName(name, EnvironmentValue("COMPUTERNAME"));
}
