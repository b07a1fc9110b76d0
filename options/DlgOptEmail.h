#pragma once
// The options window's e-mail page: the address alert notifications go to.
#include "options/DlgOptionPage.h"
#include "platform/Dialog.h"

class CDlgOptEmail final : public DialogOf<CDlgOptEmail> {
public:
    explicit CDlgOptEmail(PageChanged changed);
    static const MessageMap<CDlgOptEmail> messages;
    // False when the address was refused and nothing was stored.
    bool Apply();

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnEditChange(MsgWParam, MsgLParam);

    PageChanged changed;
    bool loaded = false;
};
