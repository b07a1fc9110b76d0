#include "options/DlgOptSource.h"
#include "options/OptionRules.h"
#include "platform/AlertControls.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceLookup.h"
#include "quotes/QuoteKeys.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include <commdlg.h>
#include "settings/LangTable.h"

namespace {
constexpr std::size_t kSourceChars = 20;
// As long as the reader waits for a terminal it started itself.
constexpr DWORD kTerminalWaitMs = 10000;
constexpr DWORD kTerminalPollMs = 200;
} // namespace

const MessageMap<CDlgOptSource> CDlgOptSource::messages = {
    onMessage(WM_INITDIALOG, &CDlgOptSource::OnInitDialog, "OnInitDialog"),
    onCommand(IDC_SOURCE_TERMINAL, BN_CLICKED, &CDlgOptSource::OnTerminalSource, "OnMTServer"),
    onCommand(IDC_SOURCE_OTHER, BN_CLICKED, &CDlgOptSource::OnOtherSource, "OnOtherSource"),
    onCommand(IDC_SOURCE_TERMINALS, CBN_SELCHANGE, &CDlgOptSource::OnTerminalPicked,
              "OnSelchangeTerminals"),
};

std::string ChooseTerminalProgram(HWND owner) {
    wchar_t file[MAX_PATH] = {};
    const std::wstring title = Widen(GetText(kTextOptSelectTerminal));
    static const wchar_t kFilter[] = L"terminal.exe\0terminal.exe\0";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return GetOpenFileNameW(&dialog) ? Narrow(file) : "";
}

CDlgOptSource::CDlgOptSource(PageChanged changed, std::function<void()> restart)
    : DialogOf(IDD_OPT_SOURCE), changed(std::move(changed)), restart(std::move(restart)) {}

MsgResult CDlgOptSource::OnInitDialog(MsgWParam, MsgLParam) {
    SetControlText(Item(IDC_SOURCE_LABEL), GetText(kTextOptSourceHead) + ":");
    SetControlText(Item(IDC_SOURCE_TERMINAL), GetText(kTextOptSourceTerminal));
    SetControlText(Item(IDC_SOURCE_INTERNET), GetText(kTextOptSourceInternet));
    SetControlText(Item(IDC_SOURCE_OTHER), GetText(kTextOptSourceOther));
    choice = AppConfig().dataSource;
    FillTerminalList();
    ShowChoice();
    return TRUE;
}

void CDlgOptSource::FillTerminalList() {
    const std::string source =
        FirstCharacters(Config().Get(quotekey::kTerminalSource), kSourceChars);
    CMTHandler& reader = MTHandler();
    reader.EnumTerminals();
    const std::vector<std::string> titles = reader.TerminalTitles();
    // One terminal leaves nothing to choose.
    ShowWindow(Item(IDC_SOURCE_TERMINALS), titles.size() < 2 ? SW_HIDE : SW_SHOW);
    ComboBox list(Item(IDC_SOURCE_TERMINALS));
    list.Clear();
    for (const std::string& title : titles)
        list.Add(title);
    remembered = ChosenTerminalIndex(titles, source);
    if (remembered < 0)
        return;
    list.Select(remembered);
    Config().Set(quotekey::kTerminalSource, titles[remembered]);
}

void CDlgOptSource::ShowChoice() {
    SetChecked(Item(IDC_SOURCE_TERMINAL), choice == kTerminalDataSource);
    SetChecked(Item(IDC_SOURCE_INTERNET), choice != kTerminalDataSource);
    SetChecked(Item(IDC_SOURCE_OTHER), false);
}

bool CDlgOptSource::Ask(const std::string& text, UINT buttons, int yes) {
    return MessageBoxW(Handle(), Widen(text).c_str(), Widen(GetMessage(kMsgProgramTitle)).c_str(),
                       buttons | MB_ICONQUESTION) == yes;
}

MsgResult CDlgOptSource::OnTerminalSource(MsgWParam, MsgLParam) {
    CMTHandler& reader = MTHandler();
    std::string path = reader.FindTerminalPath();
    if (path.empty() && !reader.IsTerminalRunning() &&
        Ask(GetText(kTextAskChooseTerminal), MB_YESNO, IDYES)) {
        path = ChooseTerminalProgram(Handle());
        if (!path.empty())
            Config().Set(quotekey::kTerminalPath, path);
    }
    if (!path.empty() || reader.IsTerminalRunning()) {
        if (reader.Attach(false) == kAttachTerminalNotRunning &&
            Ask(GetMessage(kMsgStartTerminal), MB_YESNO, IDYES)) {
            choice = kTerminalDataSource;
            StartTerminalAndRestart(path.empty() ? reader.FindTerminalPath() : path);
            return 0;
        }
        choice = kTerminalDataSource;
    }
    ShowChoice();
    if (changed)
        changed();
    return 0;
}

// Waits for the started terminal's Market Watch, so that the restarted program finds it
// instead of asking to start the terminal a second time.
void CDlgOptSource::StartTerminalAndRestart(const std::string& path) {
    if (StartProgram(path, "\"" + path + "\"", StartWindow::Maximized)) {
        MTHandler().NoteTerminalStarting();
        PumpUntil([] { return MTHandler().Attach(false) == kAttachOk; }, kTerminalWaitMs,
                  kTerminalPollMs);
    }
    if (restart)
        restart();
}

MsgResult CDlgOptSource::OnOtherSource(MsgWParam, MsgLParam) {
    MessageBoxW(Handle(), Widen(GetText(kTextOtherSourceByEmail)).c_str(),
                Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK);
    ShowChoice();
    return 0;
}

MsgResult CDlgOptSource::OnTerminalPicked(MsgWParam, MsgLParam) {
    ComboBox list(Item(IDC_SOURCE_TERMINALS));
    const int picked = list.Selected();
    if (picked < 0)
        return 0;
    const std::string title = list.ItemText(picked);
    if (!title.empty())
        Config().Set(quotekey::kTerminalSource, title);
    if (!TerminalPickNeedsRestart(MTHandler().IsStartAllowed(), remembered, picked)) {
        remembered = picked;
        return 0;
    }
    if (Ask(WithTitle(GetMessage(kMsgSwitchTerminal), title), MB_YESNO, IDYES) && restart)
        restart();
    return 0;
}

void CDlgOptSource::Apply() {
    if (SourceApplyAsksRestart(AppConfig().dataSource, choice, MTHandler().IsStartAllowed()) &&
        Ask(GetText(kTextAskChangeSource), MB_OKCANCEL, IDOK) && restart)
        restart();
}

bool CDlgOptSource::ChoiceValid() const {
    return choice == kTerminalDataSource;
}
