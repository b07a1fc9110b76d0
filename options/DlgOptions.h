#pragma once
// The options window: a tab control over its pages.
#include "door/PriceBarDoor.h"
#include "options/DlgGeneral.h"
#include "options/DlgHotkey.h"
#include "options/DlgOptEmail.h"
#include "options/DlgOptPhone.h"
#include "options/DlgOptSource.h"
#include "options/OptionRules.h"
#include "platform/Dialog.h"
#include <array>

class CDlgOptions final : public DialogOf<CDlgOptions> {
public:
    CDlgOptions(PriceBarDoor& bar, int firstPage);
    static const MessageMap<CDlgOptions> messages;
    bool Restarting() const { return restarting; }

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnTabChange(MsgWParam, MsgLParam);
    MsgResult OnOk(MsgWParam, MsgLParam);
    MsgResult OnCancel(MsgWParam, MsgLParam);
    MsgResult OnApply(MsgWParam, MsgLParam);
    void ShowPage(int page);
    void PageChangedOn(int page);
    bool ApplyPage(int page);
    void ClosePages();
    void EndForRestart();
    Dialog& Page(int page);

    int selected;
    bool restarting = false;
    std::array<bool, kOptionsPageCount> changed{};
    CDlgGeneral general;
    CDlgHotkey hotkeys;
    CDlgOptSource source;
    CDlgOptEmail email;
    CDlgOptPhone phone;
};

// The options window, modal, on the page. True when the user's choice needs a restart, which
// the bar has been asked for.
bool OpenOptionsWindow(PriceBarDoor& bar, int page);
