#include <windows.h>
#include "controls/UrlOpener.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/UrlRules.h"
#include <shellapi.h>

namespace {
constexpr int kShellSuccess = 33; // what a started program counts as
constexpr int kFileNotFound = 2;
constexpr std::size_t kCommandLimit = 260;

// HKEY_CLASSES_ROOT is the user's classes over the machine's.
std::string ClassesValue(const std::string& key) {
    for (RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine})
        if (auto value = CurrentRegistry().ReadString(root, "Software\\Classes\\" + key, "");
            value && !value->empty())
            return *value;
    return "";
}

// The browser that opens web pages, started with the address.
int OpenWithPageBrowser(const std::string& address) {
    const std::string type = ClassesValue(".htm");
    if (type.empty())
        return kFileNotFound;
    std::string command = ClassesValue(type + "\\shell\\open\\command");
    if (command.size() > kCommandLimit)
        command.resize(kCommandLimit);
    const std::string program = CommandProgram(command);
    if (program.empty())
        return kFileNotFound;
    return StartProgram(program, BrowserCommandLine(command, address)) ? kShellSuccess
                                                                       : kFileNotFound;
}
} // namespace

int OpenUrl(const std::string& address) {
    // A web address goes to the shell as it is: the shell picks the default browser.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32 || !IsWebAddress(address))
        return static_cast<int>(result);
    return OpenWithPageBrowser(address);
}
