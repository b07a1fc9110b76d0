#include "options/DlgOptEmail.h"
#include "options/OptionKeys.h"
#include "options/OptionRules.h"
#include "platform/AlertControls.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

const MessageMap<CDlgOptEmail> CDlgOptEmail::messages = {
    onMessage(WM_INITDIALOG, &CDlgOptEmail::OnInitDialog, "OnInitDialog"),
    onCommand(IDC_EMAIL_ADDRESS, EN_CHANGE, &CDlgOptEmail::OnEditChange, "OnChangeEmail"),
};

CDlgOptEmail::CDlgOptEmail(PageChanged changed)
    : DialogOf(IDD_OPT_EMAIL), changed(std::move(changed)) {}

MsgResult CDlgOptEmail::OnInitDialog(MsgWParam, MsgLParam) {
    SetControlText(Item(IDC_EMAIL_LABEL), GetText(kTextOptEmailHead) + ":");
    SetControlText(Item(IDC_EMAIL_ADDRESS), Config().Get(optkey::kNotifyEmail));
    loaded = true;
    return TRUE;
}

MsgResult CDlgOptEmail::OnEditChange(MsgWParam, MsgLParam) {
    if (loaded && changed)
        changed();
    return 0;
}

bool CDlgOptEmail::Apply() {
    const std::string address = ControlText(Item(IDC_EMAIL_ADDRESS));
    if (!address.empty() && !IsValidEmailAddress(address)) {
        MessageBoxW(Handle(), Widen(GetText(kTextInvalidEmail)).c_str(),
                    Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK);
        return false;
    }
    Config().Set(optkey::kNotifyEmail, address);
    return true;
}
