#pragma once
// The options window's hot-key page: the five global keys.
#include "door/PriceBarDoor.h"
#include "options/DlgOptionPage.h"
#include "platform/Dialog.h"

class CDlgHotkey final : public DialogOf<CDlgHotkey> {
public:
    CDlgHotkey(PriceBarDoor& bar, PageChanged changed);
    static const MessageMap<CDlgHotkey> messages;
    void Apply();

private:
    // Every command of the page counts as a change.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    MsgResult OnInitDialog(MsgWParam, MsgLParam);

    PriceBarDoor& bar;
    PageChanged changed;
    bool loaded = false;
};
