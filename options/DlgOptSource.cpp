#include "options/DlgOptSource.h"
#include "platform/AlertControls.h"
#include "quotes/PriceLookup.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

const MessageMap<CDlgOptSource> CDlgOptSource::messages = {
    onMessage(WM_INITDIALOG, &CDlgOptSource::OnInitDialog, "OnInitDialog"),
};

CDlgOptSource::CDlgOptSource(PageChanged changed)
    : DialogOf(IDD_OPT_SOURCE), changed(std::move(changed)) {}

MsgResult CDlgOptSource::OnInitDialog(MsgWParam, MsgLParam) {
    SetControlText(Item(IDC_SOURCE_LABEL), GetText(kTextOptSourceHead) + ":");
    SetControlText(Item(IDC_SOURCE_TERMINAL), GetText(kTextOptSourceTerminal));
    SetControlText(Item(IDC_SOURCE_INTERNET), GetText(kTextOptSourceInternet));
    SetControlText(Item(IDC_SOURCE_OTHER), GetText(kTextOptSourceOther));
    ShowWindow(Item(IDC_SOURCE_TERMINALS), SW_HIDE);
    choice = AppConfig().dataSource;
    ShowChoice();
    return TRUE;
}

void CDlgOptSource::ShowChoice() {
    SetChecked(Item(IDC_SOURCE_TERMINAL), choice == kTerminalDataSource);
    SetChecked(Item(IDC_SOURCE_INTERNET), choice != kTerminalDataSource);
    SetChecked(Item(IDC_SOURCE_OTHER), false);
}

bool CDlgOptSource::ChoiceValid() const {
    return choice == kTerminalDataSource;
}
