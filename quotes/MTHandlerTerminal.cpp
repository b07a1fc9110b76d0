#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "quotes/MTHandler.h"
#include "quotes/QuoteKeys.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"

namespace {
const char* const kInstallKey = "Software\\MetaQuotes Software\\MetaTrader 4";
const char* const kInstallValue = "InstallPath";
const char* const kProgramName = "\\terminal.exe";
const char* const kDrives[] = {"C:", "D:", "E:"};
// A 32-bit terminal on 64-bit Windows installs under "Program Files (x86)".
const char* const kProgramFolders[] = {"\\Program Files", "\\Program Files (x86)"};
const char* const kOrderTitles[] = {"Order", "定单"};
constexpr int kSelectionPauseMs = 100;
const char* const kMarketTimeFile =
    "D:\\Program Files\\Foreign exchange\\FXDD - MetaTrader 4\\experts\\files\\Time.txt";
} // namespace

std::string CMTHandler::FindTerminalPath() {
    const std::string configured = Config().Get(quotekey::kTerminalPath);
    if (!configured.empty() && FileExists(configured))
        return configured;
    // An empty install path would name a file in the root of the current drive.
    const auto installed =
        CurrentRegistry().ReadString(RegistryRoot::CurrentUser, kInstallKey, kInstallValue);
    if (installed && !installed->empty() && FileExists(*installed + kProgramName))
        return *installed + kProgramName;
    for (const char* drive : kDrives) {
        for (const char* programs : kProgramFolders) {
            const std::string root = std::string(drive) + programs;
            for (const std::string& folder : Files().ListFolders(root)) {
                const std::string candidate = root + "\\" + folder + kProgramName;
                if (FileExists(candidate))
                    return candidate;
            }
        }
    }
    return "";
}

void CMTHandler::ShowHideTerminals() {
    if (!terminalWindow)
        return;
    const bool hide = Desk().IsVisible(terminalWindow);
    EnumTerminals();
    for (const WindowHandle terminal : terminals) {
        Desk().Show(terminal, !hide);
        if (!hide)
            Desk().BringToForeground(terminal);
    }
}

// Arrow keys, as a user would press them, until the selection mark reaches the row.
void CMTHandler::MoveSelectionTo(int row) {
    const int maxKeys = 2 * Desk().ListItemCount(marketWatchList);
    int mark = Desk().ListSelectionMark(marketWatchList);
    for (int keys = 0; keys < maxKeys && mark != row; ++keys) {
        Desk().SendKeyDown(marketWatchList, mark < row ? DesktopKey::Down : DesktopKey::Up);
        mark = Desk().ListSelectionMark(marketWatchList);
    }
}

void CMTHandler::CloseOrderWindow() {
    for (const char* title : kOrderTitles) {
        if (const WindowHandle order = Desk().FindTopLevel(title)) {
            Desk().SendClose(order);
            return;
        }
    }
}

void CMTHandler::OpenOrderWindow(const std::string& symbol) {
    if (AppConfig().dataSource != kTerminalDataSource || !Desk().IsWindow(terminalWindow))
        return;
    const int row = FindRow(symbol);
    if (row < 0)
        return;
    MoveSelectionTo(row);
    Desk().Wait(kSelectionPauseMs);
    if (Desk().ListSelectionMark(marketWatchList) != row)
        return;
    CloseOrderWindow();
    if (Desk().IsVisible(terminalWindow))
        Desk().BringToForeground(terminalWindow);
    else
        Desk().Show(terminalWindow, true);
    // The terminal opens its order dialog for the selected symbol on Enter.
    Desk().PostKeyDown(marketWatchList, DesktopKey::Enter);
}

std::string CMTHandler::ReadMarketTimeFile() {
    std::string content;
    if (!Files().ReadAll(kMarketTimeFile, content))
        return "";
    std::string line = content.substr(0, content.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}
