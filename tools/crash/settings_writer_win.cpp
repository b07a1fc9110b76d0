// Rewrites the settings files of a folder without end, as the program writes them, for the
// crash test to kill (tests/e2e/SettingsCrashTest.cpp).
//
//   settings_writer FOLDER FIRST_GENERATION FIRST_WRITE EVENT
//
// FOLDER ends in a backslash; EVENT names an event set once the writing begins.
#include <windows.h>

#include <shellapi.h>

#include "platform/Text.h"
#include "tools/crash/SettingsChurn.h"
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr int kArguments = 4;

std::vector<std::wstring> Arguments() {
    std::vector<std::wstring> args;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; argv && i < count; ++i)
        args.push_back(argv[i]);
    LocalFree(argv);
    return args;
}
} // namespace

int main() {
    const std::vector<std::wstring> args = Arguments();
    if (args.size() != kArguments) {
        std::fprintf(stderr, "usage: settings_writer FOLDER FIRST_GENERATION FIRST_WRITE EVENT\n");
        return 2;
    }
    churn::Writer writer(Narrow(args[0]));
    const auto first = static_cast<std::uint32_t>(std::stoul(args[1]));
    const auto firstWrite = static_cast<unsigned>(std::stoul(args[2]));
    HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, args[3].c_str());
    if (started) {
        SetEvent(started);
        CloseHandle(started);
    }
    writer.WriteForever(first, firstWrite);
}
