#pragma once
// The options window's data-source page.
#include "options/DlgOptionPage.h"
#include "platform/Dialog.h"

class CDlgOptSource final : public DialogOf<CDlgOptSource> {
public:
    explicit CDlgOptSource(PageChanged changed);
    static const MessageMap<CDlgOptSource> messages;
    // OK is accepted only for the terminal source.
    bool ChoiceValid() const;
    void Apply() {}

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    void ShowChoice();

    PageChanged changed;
    int choice = 0;
};
