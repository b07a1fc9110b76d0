#include "platform/Text.h"
#include "tools/mt4sim/SimCommand.h"
#include "tools/mt4sim/TerminalWindow_win.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kExitBadArguments = 2;
constexpr int kExitNoWindow = 3;

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv)
        return args;
    for (int i = 1; i < count; ++i)
        args.push_back(Narrow(argv[i]));
    LocalFree(argv);
    return args;
}

// The fields of the switches file beside the program, when there is one.
std::vector<std::string> SwitchesFileArguments() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring file(path, length);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + Widen(kSimSwitchesFile);
    FILE* stream = _wfopen(file.c_str(), L"rb");
    if (!stream)
        return {};
    std::string text;
    char buffer[512];
    for (size_t got; (got = fread(buffer, 1, sizeof(buffer), stream)) > 0;)
        text.append(buffer, got);
    fclose(stream);
    return SplitFields(text);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    SimOptions options;
    std::string error;
    // No message box for bad switches: tests start this program unattended.
    std::vector<std::string> args = CommandLineArguments();
    for (std::string& field : SwitchesFileArguments())
        args.push_back(std::move(field));
    if (!ParseSimOptions(args, options, error))
        return kExitBadArguments;

    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    if (!TerminalWindow::RegisterClasses(instance))
        return kExitNoWindow;
    TerminalWindow terminal(options);
    if (!terminal.Create(instance, show))
        return kExitNoWindow;

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (terminal.PreTranslate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
