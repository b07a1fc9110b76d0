#pragma once
// The about box: the program, its version, the folder of its files and its home page.
#include "controls/HyperLink.h"
#include "platform/Dialog.h"

class CDlgAbout final : public DialogOf<CDlgAbout> {
public:
    CDlgAbout();

    static const MessageMap<CDlgAbout> messages;

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnOk(MsgWParam, MsgLParam);

    CHyperLink folderLink;
    CHyperLink homeLink;
};
