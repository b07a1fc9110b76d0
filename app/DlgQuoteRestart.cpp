// The price bar's restart: a new instance takes over from this one.
#include "app/DlgQuote.h"
#include "common/GlobalHotKeys.h"
#include "common/StartupRules.h"
#include "door/AppMessages.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "settings/SysPaths.h"

MsgResult CDlgQuote::OnRestartRequest(MsgWParam, MsgLParam) {
    Restart();
    return 0;
}

// A new instance takes over; this one keeps the title others look for until it has.
void CDlgQuote::Restart() {
    const std::wstring title = Widen(std::string(kProductWindowTitle));
    SetWindowTextW(Handle(), (title + Widen(kRestartTitleSuffix)).c_str());
    UnregisterHotKeys();
    const std::string program = GetProgramPath();
    std::string commandLine = "\"" + program + "\"";
    if (MTHandler().TerminalStarting())
        commandLine += std::string(" ") + kTerminalStartingSwitch;
    // Asked from inside another window's modal loop, this window lives on until that loop
    // ends: no tick and no alert of ours once the new instance runs, so none fires twice.
    cycleStopped = true;
    if (!StartProgram(program, commandLine)) {
        cycleStopped = false;
        SetWindowTextW(Handle(), title.c_str());
        ShowHotKeyFailures(Handle(), RegisterHotKeys());
        return;
    }
    StopTimer(kMainTickTimer);
    End(IDOK);
}

// Posted: a restart under a running modal loop would start the new instance under the old
// one's start-up.
void CDlgQuote::RequestRestart() {
    PostMessageW(Handle(), kRestartRequestMessage, 0, 0);
}
