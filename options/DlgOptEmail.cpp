#include "options/DlgOptEmail.h"
#include "delivery/DeliverySettings.h"
#include "delivery/MailSender.h"
#include "door/AppMessages.h"
#include "options/OptionRules.h"
#include "platform/AlertControls.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/OptionKeys.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

namespace {
const int kServerControls[] = {
    IDC_SMTP_SERVER_LABEL,   IDC_SMTP_SERVER,   IDC_SMTP_PORT_LABEL, IDC_SMTP_PORT,
    IDC_SMTP_SECURITY_LABEL, IDC_SMTP_SECURITY, IDC_SMTP_USER_LABEL, IDC_SMTP_USER,
    IDC_SMTP_PASSWORD_LABEL, IDC_SMTP_PASSWORD, IDC_SMTP_FROM_LABEL, IDC_SMTP_FROM,
    IDC_SMTP_TEST,           IDC_SMTP_ANSWER};
// The combo box lists the securities in the order of their stored numbers.
const int kSecurityTexts[] = {kTextTlsOnConnect, kTextStartTls, kTextNoSecurity};
} // namespace

const MessageMap<CDlgOptEmail> CDlgOptEmail::messages = {
    onMessage(WM_INITDIALOG, &CDlgOptEmail::OnInitDialog, "OnInitDialog"),
    onMessage(kTestSendDoneMessage, &CDlgOptEmail::OnTestDone, "OnTestDone"),
    onCommand(IDC_EMAIL_ADDRESS, EN_CHANGE, &CDlgOptEmail::OnEditChange, "OnChangeEmail"),
    onCommand(IDC_SMTP_SERVER, EN_CHANGE, &CDlgOptEmail::OnEditChange, "OnChangeServer"),
    onCommand(IDC_SMTP_PORT, EN_CHANGE, &CDlgOptEmail::OnEditChange, "OnChangePort"),
    onCommand(IDC_SMTP_USER, EN_CHANGE, &CDlgOptEmail::OnEditChange, "OnChangeUser"),
    onCommand(IDC_SMTP_PASSWORD, EN_CHANGE, &CDlgOptEmail::OnEditChange, "OnChangePassword"),
    onCommand(IDC_SMTP_FROM, EN_CHANGE, &CDlgOptEmail::OnEditChange, "OnChangeFrom"),
    onCommand(IDC_SMTP_SECURITY, CBN_SELCHANGE, &CDlgOptEmail::OnEditChange, "OnChangeSecurity"),
    onCommand(IDC_MAIL_ROUTE_SERVICE, BN_CLICKED, &CDlgOptEmail::OnRouteClick, "OnRoute"),
    onCommand(IDC_MAIL_ROUTE_OWN, BN_CLICKED, &CDlgOptEmail::OnRouteClick, "OnRoute"),
    onCommand(IDC_SMTP_TEST, BN_CLICKED, &CDlgOptEmail::OnSendTest, "OnSendTestEmail"),
};

CDlgOptEmail::CDlgOptEmail(PageChanged changed)
    : DialogOf(IDD_OPT_EMAIL), changed(std::move(changed)) {}

MsgResult CDlgOptEmail::OnInitDialog(MsgWParam, MsgLParam) {
    SetControlText(Item(IDC_EMAIL_LABEL), GetText(kTextOptEmailHead) + ":");
    SetControlText(Item(IDC_EMAIL_ADDRESS), Config().Get(optkey::kNotifyEmail));
    LoadServer();
    loaded = true;
    return TRUE;
}

void CDlgOptEmail::LoadServer() {
    const std::pair<int, int> labels[] = {
        {IDC_MAIL_ROUTE_LABEL, kTextSendThrough}, {IDC_SMTP_SERVER_LABEL, kTextSmtpServer},
        {IDC_SMTP_PORT_LABEL, kTextSmtpPort},     {IDC_SMTP_SECURITY_LABEL, kTextSmtpSecurity},
        {IDC_SMTP_USER_LABEL, kTextSmtpUser},     {IDC_SMTP_PASSWORD_LABEL, kTextSmtpPassword},
        {IDC_SMTP_FROM_LABEL, kTextSmtpFrom}};
    for (const auto& [id, text] : labels)
        SetControlText(Item(id), GetText(text) + ":");
    SetControlText(Item(IDC_MAIL_ROUTE_SERVICE), GetText(kTextRouteService));
    SetControlText(Item(IDC_MAIL_ROUTE_OWN), GetText(kTextRouteOwnServer));
    SetControlText(Item(IDC_SMTP_TEST), GetText(kTextSendTestEmail));
    ComboBox security(Item(IDC_SMTP_SECURITY));
    for (const int text : kSecurityTexts)
        security.Add(GetText(text));

    const SmtpSettings server = LoadSmtpSettings();
    const bool own = LoadMailRoute() == MailRoute::OwnServer;
    SetChecked(Item(IDC_MAIL_ROUTE_OWN), own);
    SetChecked(Item(IDC_MAIL_ROUTE_SERVICE), !own);
    SetControlText(Item(IDC_SMTP_SERVER), server.server);
    SetControlText(Item(IDC_SMTP_PORT), std::to_string(server.port));
    security.Select(static_cast<int>(server.security));
    SetControlText(Item(IDC_SMTP_USER), server.user);
    SetControlText(Item(IDC_SMTP_PASSWORD), server.password);
    SetControlText(Item(IDC_SMTP_FROM), server.from);
    EnableServer();
}

SmtpSettings CDlgOptEmail::ReadServer() const {
    SmtpSettings server;
    server.server = TrimBlanks(ControlText(Item(IDC_SMTP_SERVER)));
    server.port = ParsePort(ControlText(Item(IDC_SMTP_PORT)));
    const int security = ComboBox(Item(IDC_SMTP_SECURITY)).Selected();
    server.security = security >= 0 ? static_cast<MailSecurity>(security) : MailSecurity::StartTls;
    server.user = TrimBlanks(ControlText(Item(IDC_SMTP_USER)));
    server.password = ControlText(Item(IDC_SMTP_PASSWORD));
    server.from = TrimBlanks(ControlText(Item(IDC_SMTP_FROM)));
    server.to = TrimBlanks(ControlText(Item(IDC_EMAIL_ADDRESS)));
    return server;
}

bool CDlgOptEmail::OwnServer() const {
    return IsChecked(Item(IDC_MAIL_ROUTE_OWN));
}

void CDlgOptEmail::EnableServer() {
    for (const int id : kServerControls)
        EnableWindow(Item(id), OwnServer());
}

MsgResult CDlgOptEmail::OnEditChange(MsgWParam, MsgLParam) {
    if (loaded && changed)
        changed();
    return 0;
}

MsgResult CDlgOptEmail::OnRouteClick(MsgWParam wParam, MsgLParam lParam) {
    EnableServer();
    return OnEditChange(wParam, lParam);
}

bool CDlgOptEmail::Refused(const std::string& address, const SmtpSettings& server, bool ownServer) {
    const int problem = Problem(address, server, ownServer);
    if (problem == 0)
        return false;
    MessageBoxW(Handle(), Widen(GetText(problem)).c_str(),
                Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK);
    return true;
}

int CDlgOptEmail::Problem(const std::string& address, const SmtpSettings& server, bool ownServer) {
    if (!address.empty() && !IsValidEmailAddress(address))
        return kTextInvalidEmail;
    return ownServer ? SmtpSettingsProblem(server) : 0;
}

// The address and the server are kept apart: a right address is stored though the server's
// fields are not complete yet, and the other way round.
bool CDlgOptEmail::Apply() {
    const std::string address = ControlText(Item(IDC_EMAIL_ADDRESS));
    const SmtpSettings server = ReadServer();
    const bool addressRight = Problem(address, server, false) == 0;
    const bool serverRight = !OwnServer() || SmtpSettingsProblem(server) == 0;
    if (addressRight)
        Config().Set(optkey::kNotifyEmail, address);
    // The server's fields are kept even while the service is chosen, so a switch back
    // finds them again.
    if (serverRight)
        SaveMailSettings(OwnServer() ? MailRoute::OwnServer : MailRoute::Service, server);
    return !Refused(addressRight ? std::string() : address, server, OwnServer() && !serverRight);
}

MsgResult CDlgOptEmail::OnSendTest(MsgWParam, MsgLParam) {
    const SmtpSettings server = ReadServer();
    // A test needs a recipient: an empty one is refused like a wrong one.
    if (Refused(server.to.empty() ? "?" : server.to, server, true))
        return 0;
    const std::string note = GetText(kTextTestNotice);
    const AlertNotice notice{"Pip Warden", "", note, note, NowText()};
    const HWND window = Handle();
    if (test.Start([server, notice] { return SendMailNow(server, notice); },
                   [window] { PostMessageW(window, kTestSendDoneMessage, 0, 0); }))
        SetControlText(Item(IDC_SMTP_ANSWER), GetText(kTextSending));
    return 0;
}

MsgResult CDlgOptEmail::OnTestDone(MsgWParam, MsgLParam) {
    if (const auto result = test.Take())
        SetControlText(Item(IDC_SMTP_ANSWER),
                       GetText(result->sent ? kTextSent : kTextSendFailed) + ": " + result->detail);
    return 0;
}
