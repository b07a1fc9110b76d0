#pragma once
// The options window's phone page: Telegram, ntfy and a webhook, each with a test button.
#include "delivery/DeliveryCenter.h"
#include "options/DlgOptionPage.h"
#include "platform/Dialog.h"

class CDlgOptPhone final : public DialogOf<CDlgOptPhone> {
public:
    explicit CDlgOptPhone(PageChanged changed);
    static const MessageMap<CDlgOptPhone> messages;
    void Apply();

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnEditChange(MsgWParam, MsgLParam);
    MsgResult OnTestTelegram(MsgWParam, MsgLParam);
    MsgResult OnTestNtfy(MsgWParam, MsgLParam);
    MsgResult OnTestWebhook(MsgWParam, MsgLParam);
    MsgResult OnTestDone(MsgWParam, MsgLParam);
    PhoneSettings ReadForm() const;
    void SendTest(DeliveryChannel channel);

    PageChanged changed;
    bool loaded = false;
    // Stored, unreadable here, and not typed over since the page opened.
    bool tokenUnreadable = false;
    bool webhookUnreadable = false;
    TestSend test;
};
