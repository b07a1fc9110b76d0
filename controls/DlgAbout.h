#pragma once
// The about box: the program, its version, the folder of its files and its home page.
#include "controls/HyperLink.h"
#include "platform/Dialog.h"

class CDlgAbout final : public Dialog {
public:
    CDlgAbout();

    static const MessageMap<CDlgAbout> messages;

private:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnOk(MsgWParam, MsgLParam);

    CHyperLink folderLink;
    CHyperLink homeLink;
};
