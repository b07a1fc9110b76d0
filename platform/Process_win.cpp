#include <windows.h>
#include "platform/Process.h"
#include "platform/Text.h"

bool StartProgram(const std::string& programPath, const std::string& commandLine,
                  StartWindow window) {
    if (programPath.empty())
        return false;
    const std::wstring application = Widen(programPath);
    std::wstring arguments = Widen(commandLine); // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = window == StartWindow::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(application.c_str(), arguments.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

std::string EnvironmentValue(const char* name, const std::string& fallback) {
    constexpr DWORD kBuffer = 260; // at most 259 characters and the zero
    wchar_t buffer[kBuffer] = {};
    const DWORD n = GetEnvironmentVariableW(Widen(name).c_str(), buffer, kBuffer);
    return n > 0 && n < kBuffer ? Narrow(buffer) : fallback;
}
