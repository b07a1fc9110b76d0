// Stands in for a program the tests start: appends one line to "<own path>.rec" and ends.
//   time=<100 ns units since 1601, UTC> lang=<user LANGID> show=<wShowWindow or -> cmd=<...>
// The command line comes last, as UTF-8, so tests can compare it exactly; the time lets
// them measure delays against their own clock.
#include <windows.h>
#include <cstdint>
#include <string>

namespace {
std::uint64_t Now() {
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::wstring OwnPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Kept free of the program's libraries so it builds and runs on its own.
std::string Utf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return "";
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    out.pop_back(); // the terminating zero
    return out;
}

std::string ShowText() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    if (!(startup.dwFlags & STARTF_USESHOWWINDOW))
        return "-";
    return std::to_string(startup.wShowWindow);
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::uint64_t started = Now();
    const std::string line = "time=" + std::to_string(started) +
                             " lang=" + std::to_string(GetUserDefaultLangID()) +
                             " show=" + ShowText() + " cmd=" + Utf8(GetCommandLineW()) + "\n";
    const std::wstring record = OwnPath() + L".rec";
    HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 1;
}
