#pragma once
// The options window's hot-key page: the five global keys.
#include "options/DlgOptionPage.h"
#include "platform/Dialog.h"

class CDlgHotkey final : public DialogOf<CDlgHotkey> {
public:
    explicit CDlgHotkey(PageChanged changed);
    static const MessageMap<CDlgHotkey> messages;
    void Apply();

private:
    // Every command of the page counts as a change.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    MsgResult OnInitDialog(MsgWParam, MsgLParam);

    PageChanged changed;
    bool loaded = false;
};
