#pragma once
// The options window's data-source page.
#include "options/DlgOptionPage.h"
#include "platform/Dialog.h"
#include <functional>
#include <string>

// The file dialog that asks for the terminal's program; "" when cancelled.
std::string ChooseTerminalProgram(HWND owner);

class CDlgOptSource final : public DialogOf<CDlgOptSource> {
public:
    // `restart` ends the options window for a restart of the program.
    CDlgOptSource(PageChanged changed, std::function<void()> restart);
    static const MessageMap<CDlgOptSource> messages;
    // OK is accepted only for the terminal source.
    bool ChoiceValid() const;
    void Apply();

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnTerminalSource(MsgWParam, MsgLParam);
    MsgResult OnOtherSource(MsgWParam, MsgLParam);
    MsgResult OnTerminalPicked(MsgWParam, MsgLParam);
    void FillTerminalList();
    void ShowChoice();
    bool Ask(const std::string& text, UINT buttons, int yes);
    void StartTerminalAndRestart(const std::string& path);

    PageChanged changed;
    std::function<void()> restart;
    int choice = 0;
    int remembered = -1; // the terminal the reader reads, as the list shows it
};
