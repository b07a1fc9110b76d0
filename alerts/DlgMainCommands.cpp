// The alerts list's commands on the alerts: add, edit, delete, clear, switch all off.
#include "alerts/AlertListRules.h"
#include "alerts/AlertStore.h"
#include "alerts/DlgAlertAdd.h"
#include "alerts/DlgMain.h"
#include "alerts/ListKeys.h"
#include "platform/AlertControls.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

MsgResult CDlgMain::OnDisableAll(MsgWParam, MsgLParam) {
    ApplyDisableAll();
    return 0;
}

void CDlgMain::ApplyDisableAll() {
    const bool off = IsChecked(Item(IDC_DISABLE_ALL));
    for (int id : {IDC_ALERT_LIST, IDC_ADD_ALERT, IDC_CLEAR_ALERTS})
        EnableWindow(Item(id), !off);
    if (off) {
        EnableWindow(Item(IDC_EDIT_ALERT), FALSE);
        EnableWindow(Item(IDC_DELETE_ALERT), FALSE);
    } else {
        StartTimer(kUpdateButtonsTimer, kListTimerMs);
    }
    Config().Set(listkey::kDisableAll, off ? "1" : "0");
}

MsgResult CDlgMain::OnAdd(MsgWParam, MsgLParam) {
    CDlgAlertAdd editor(bar, "", Handle());
    editor.DoModal(Handle());
    return 0;
}

MsgResult CDlgMain::OnEdit(MsgWParam, MsgLParam) {
    const int row = CheckedList(alertList.Handle()).SelectedItem();
    if (row < 0)
        return 0;
    CDlgAlertAdd editor(bar, alertList.ItemText(row, kAlertListIdColumn), Handle());
    editor.DoModal(Handle());
    return 0;
}

bool CDlgMain::Ask(int text) {
    return AskText(GetText(text));
}

bool CDlgMain::AskText(const std::string& text) {
    return MessageBoxW(Handle(), Widen(text).c_str(), Widen(GetMessage(kMsgProgramTitle)).c_str(),
                       MB_OKCANCEL) == IDOK;
}

MsgResult CDlgMain::OnDelete(MsgWParam, MsgLParam) {
    if (!Ask(kTextAskDelete))
        return 0;
    const CheckedList rows(alertList.Handle());
    for (int row : RowsToDelete(rows.CheckedItems(), rows.SelectedItem()))
        DeleteAlert(AppConfig().alertsPath, alertList.ItemText(row, kAlertListIdColumn));
    Refill(true);
    return 0;
}

MsgResult CDlgMain::OnClear(MsgWParam, MsgLParam) {
    const std::string question =
        ClearQuestion(LoadAllAlerts(AppConfig().alertsPath), Config().Get(barkey::kDisplayList));
    if (!AskText(question))
        return 0;
    ClearAlerts(AppConfig().alertsPath);
    Refill(true);
    return 0;
}
