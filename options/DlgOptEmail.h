#pragma once
// The options window's e-mail page: the address alert notifications go to, and the user's
// own mail server when the mail goes through it.
#include "delivery/DeliveryCenter.h"
#include "options/DlgOptionPage.h"
#include "platform/Dialog.h"

struct SmtpSettings;

class CDlgOptEmail final : public DialogOf<CDlgOptEmail> {
public:
    explicit CDlgOptEmail(PageChanged changed);
    static const MessageMap<CDlgOptEmail> messages;
    // False, with the message shown, when the address or the server was refused; what was
    // right is stored all the same.
    bool Apply();

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnEditChange(MsgWParam, MsgLParam);
    MsgResult OnRouteClick(MsgWParam, MsgLParam);
    MsgResult OnSendTest(MsgWParam, MsgLParam);
    MsgResult OnTestDone(MsgWParam, MsgLParam);
    void LoadServer();
    SmtpSettings ReadServer() const;
    bool OwnServer() const;
    void EnableServer();
    // False, with the message shown, when the form cannot be used.
    bool Refused(const std::string& address, const SmtpSettings& server, bool ownServer);
    // The text id of what is wrong; 0 when nothing is.
    static int Problem(const std::string& address, const SmtpSettings& server, bool ownServer);

    PageChanged changed;
    bool loaded = false;
    TestSend test;
};
