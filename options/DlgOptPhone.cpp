#include "options/DlgOptPhone.h"
#include "delivery/DeliverySettings.h"
#include "delivery/PushRequests.h"
#include "door/AppMessages.h"
#include "platform/AlertControls.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/DateTime.h"
#include "settings/TextIds.h"
#include <commctrl.h>
#include "settings/LangTable.h"

const MessageMap<CDlgOptPhone> CDlgOptPhone::messages = {
    onMessage(WM_INITDIALOG, &CDlgOptPhone::OnInitDialog, "OnInitDialog"),
    onMessage(kTestSendDoneMessage, &CDlgOptPhone::OnTestDone, "OnTestDone"),
    onCommand(IDC_TELEGRAM_TOKEN, EN_CHANGE, &CDlgOptPhone::OnEditChange, "OnChangeToken"),
    onCommand(IDC_TELEGRAM_CHAT, EN_CHANGE, &CDlgOptPhone::OnEditChange, "OnChangeChat"),
    onCommand(IDC_NTFY_SERVER, EN_CHANGE, &CDlgOptPhone::OnEditChange, "OnChangeNtfyServer"),
    onCommand(IDC_NTFY_TOPIC, EN_CHANGE, &CDlgOptPhone::OnEditChange, "OnChangeTopic"),
    onCommand(IDC_WEBHOOK_URL, EN_CHANGE, &CDlgOptPhone::OnEditChange, "OnChangeWebhook"),
    onCommand(IDC_TELEGRAM_TEST, BN_CLICKED, &CDlgOptPhone::OnTestTelegram, "OnTestTelegram"),
    onCommand(IDC_NTFY_TEST, BN_CLICKED, &CDlgOptPhone::OnTestNtfy, "OnTestNtfy"),
    onCommand(IDC_WEBHOOK_TEST, BN_CLICKED, &CDlgOptPhone::OnTestWebhook, "OnTestWebhook"),
};

CDlgOptPhone::CDlgOptPhone(PageChanged changed)
    : DialogOf(IDD_OPT_PHONE), changed(std::move(changed)) {}

MsgResult CDlgOptPhone::OnInitDialog(MsgWParam, MsgLParam) {
    const std::pair<int, int> labels[] = {{IDC_TELEGRAM_TOKEN_LABEL, kTextBotToken},
                                          {IDC_TELEGRAM_CHAT_LABEL, kTextChatId},
                                          {IDC_NTFY_SERVER_LABEL, kTextNtfyServer},
                                          {IDC_NTFY_TOPIC_LABEL, kTextTopic},
                                          {IDC_WEBHOOK_URL_LABEL, kTextWebhookUrl}};
    for (const auto& [id, text] : labels)
        SetControlText(Item(id), GetText(text) + ":");
    for (const int id : {IDC_TELEGRAM_TEST, IDC_NTFY_TEST, IDC_WEBHOOK_TEST})
        SetControlText(Item(id), GetText(kTextSendTest));
    const PhoneSettings settings = LoadPhoneSettings();
    SetControlText(Item(IDC_TELEGRAM_TOKEN), settings.telegramToken);
    SetControlText(Item(IDC_TELEGRAM_CHAT), settings.telegramChat);
    SetControlText(Item(IDC_NTFY_SERVER), settings.ntfyServer);
    // Left empty, the public server is used: the empty field says which.
    const std::wstring publicServer = Widen(kNtfyServerDefault);
    SendMessageW(Item(IDC_NTFY_SERVER), EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(publicServer.c_str()));
    SetControlText(Item(IDC_NTFY_TOPIC), settings.ntfyTopic);
    SetControlText(Item(IDC_WEBHOOK_URL), settings.webhookUrl);
    // A secret saved on another account shows as such, not as an empty field.
    const std::wstring unreadable = Widen(GetText(kTextSecretUnreadable));
    if (settings.telegramTokenUnreadable)
        SendMessageW(Item(IDC_TELEGRAM_TOKEN), EM_SETCUEBANNER, TRUE,
                     reinterpret_cast<LPARAM>(unreadable.c_str()));
    if (settings.webhookUrlUnreadable)
        SendMessageW(Item(IDC_WEBHOOK_URL), EM_SETCUEBANNER, TRUE,
                     reinterpret_cast<LPARAM>(unreadable.c_str()));
    tokenUnreadable = settings.telegramTokenUnreadable;
    webhookUnreadable = settings.webhookUrlUnreadable;
    loaded = true;
    return TRUE;
}

PhoneSettings CDlgOptPhone::ReadForm() const {
    PhoneSettings settings;
    settings.telegramToken = TrimBlanks(ControlText(Item(IDC_TELEGRAM_TOKEN)));
    settings.telegramChat = TrimBlanks(ControlText(Item(IDC_TELEGRAM_CHAT)));
    settings.ntfyServer = TrimBlanks(ControlText(Item(IDC_NTFY_SERVER)));
    settings.ntfyTopic = TrimBlanks(ControlText(Item(IDC_NTFY_TOPIC)));
    settings.webhookUrl = TrimBlanks(ControlText(Item(IDC_WEBHOOK_URL)));
    return settings;
}

void CDlgOptPhone::Apply() {
    PhoneSettings settings = ReadForm();
    // Left untouched, a secret the page could not show stays stored as it is.
    settings.telegramTokenUnreadable = tokenUnreadable;
    settings.webhookUrlUnreadable = webhookUnreadable;
    if (!SavePhoneSettings(settings))
        MessageBoxW(Handle(), Widen(GetText(kTextSecretNotProtected)).c_str(),
                    Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK | MB_ICONWARNING);
}

MsgResult CDlgOptPhone::OnEditChange(MsgWParam wParam, MsgLParam) {
    if (!loaded)
        return 0;
    const int id = CommandId(wParam);
    if (id == IDC_TELEGRAM_TOKEN)
        tokenUnreadable = false;
    else if (id == IDC_WEBHOOK_URL)
        webhookUnreadable = false;
    if (changed)
        changed();
    return 0;
}

void CDlgOptPhone::SendTest(DeliveryChannel channel) {
    const PhoneSettings settings = ReadForm();
    if (!ChannelConfigured(channel, settings)) {
        SetControlText(Item(IDC_PHONE_ANSWER), GetText(kTextFillChannel));
        return;
    }
    const std::string note = GetText(kTextTestNotice);
    const AlertNotice notice{"Pip Warden", "", note, note, NowText()};
    const HWND window = Handle();
    if (test.Start([channel, settings, notice] { return SendPush(channel, settings, notice); },
                   [window] { PostMessageW(window, kTestSendDoneMessage, 0, 0); }))
        SetControlText(Item(IDC_PHONE_ANSWER), GetText(kTextSending));
}

MsgResult CDlgOptPhone::OnTestTelegram(MsgWParam, MsgLParam) {
    SendTest(DeliveryChannel::Telegram);
    return 0;
}

MsgResult CDlgOptPhone::OnTestNtfy(MsgWParam, MsgLParam) {
    SendTest(DeliveryChannel::Ntfy);
    return 0;
}

MsgResult CDlgOptPhone::OnTestWebhook(MsgWParam, MsgLParam) {
    SendTest(DeliveryChannel::Webhook);
    return 0;
}

MsgResult CDlgOptPhone::OnTestDone(MsgWParam, MsgLParam) {
    if (const auto result = test.Take())
        SetControlText(Item(IDC_PHONE_ANSWER),
                       GetText(result->sent ? kTextSent : kTextSendFailed) + ": " + result->detail);
    return 0;
}
