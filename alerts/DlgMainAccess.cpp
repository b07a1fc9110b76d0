#include "alerts/AlertWindows.h"
#include "alerts/DlgMain.h"
#include "alerts/ListKeys.h"
#include "controls/DlgAbout.h"
#include "settings/Config.h"
#include <memory>

namespace {
// Created on first use, then only hidden and shown until the program ends.
std::unique_ptr<CDlgMain>& AlertsList() {
    static std::unique_ptr<CDlgMain> list;
    return list;
}

CDlgMain* LiveList() {
    CDlgMain* list = AlertsList().get();
    return list && IsWindow(list->Handle()) ? list : nullptr;
}
} // namespace

bool IsAlertsListActive() {
    const CDlgMain* list = LiveList();
    return list && GetActiveWindow() == list->Handle();
}

void OpenAlertsWindow(PriceBarDoor& bar, bool toggle) {
    CDlgMain* list = LiveList();
    if (list && toggle && list->IsVisible()) {
        ShowWindow(list->Handle(), SW_HIDE);
        return;
    }
    if (list) {
        list->FillCurrencyList();
    } else {
        AlertsList() = std::make_unique<CDlgMain>(bar);
        if (!AlertsList()->Create(nullptr)) {
            AlertsList().reset();
            return;
        }
        list = AlertsList().get();
        if (Config().Get(listkey::kTopmost) == "1")
            SetWindowPos(list->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    ShowWindow(list->Handle(), SW_SHOW);
    SetForegroundWindow(list->Handle());
}

void RefreshAlertsList() {
    if (CDlgMain* list = LiveList())
        list->Refill(false);
}

void DestroyAlertsList() {
    if (CDlgMain* list = LiveList())
        DestroyWindow(list->Handle());
    AlertsList().reset();
}

bool AlertsListExists() {
    return LiveList() != nullptr;
}

void RefillAlertsListWithReload() {
    if (CDlgMain* list = LiveList())
        list->Refill(true);
}

void RefillAlertsAfterChange(PriceBarDoor& bar, HWND listWindow) {
    CDlgMain* list = LiveList();
    if (list && list->Handle() == listWindow)
        list->Refill(true);
    else
        bar.ReloadAlerts();
}

void OpenAboutBox(HWND owner) {
    CDlgAbout about;
    about.DoModal(owner);
}
