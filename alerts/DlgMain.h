#pragma once
// The alerts list window: the displayed currency pairs and the alerts. Win32 code only.
#include "controls/InfoTip.h"
#include "door/PriceBarDoor.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include <string>

inline constexpr UINT_PTR kApplySelectionTimer = 2001;
inline constexpr UINT_PTR kUpdateButtonsTimer = 2002;
inline constexpr UINT kListTimerMs = 200;
// The alert list's hidden column of the alert's id.
inline constexpr int kAlertListIdColumn = 5;

class CDlgMain final : public DialogOf<CDlgMain> {
public:
    explicit CDlgMain(PriceBarDoor& bar);

    static const MessageMap<CDlgMain> messages;

    // Refills the alerts from the file; with reload the price bar reloads its table too.
    void Refill(bool reload);
    void FillCurrencyList();

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnTimer(MsgWParam, MsgLParam);
    MsgResult OnSysCommand(MsgWParam, MsgLParam);
    MsgResult OnHide(MsgWParam, MsgLParam);
    MsgResult OnEnter(MsgWParam, MsgLParam);
    MsgResult OnCurrencyClick(MsgWParam, MsgLParam);
    MsgResult OnCurrencyChanged(MsgWParam, MsgLParam);
    MsgResult OnAlertClick(MsgWParam, MsgLParam);
    MsgResult OnAlertKey(MsgWParam, MsgLParam);
    MsgResult OnShowBid(MsgWParam, MsgLParam);
    MsgResult OnShowAsk(MsgWParam, MsgLParam);
    MsgResult OnRefresh(MsgWParam, MsgLParam);
    MsgResult OnPinOn(MsgWParam, MsgLParam);
    MsgResult OnPinOff(MsgWParam, MsgLParam);
    MsgResult OnOptions(MsgWParam, MsgLParam);
    MsgResult OnDisableAll(MsgWParam, MsgLParam);
    MsgResult OnAdd(MsgWParam, MsgLParam);
    MsgResult OnEdit(MsgWParam, MsgLParam);
    MsgResult OnDelete(MsgWParam, MsgLParam);
    MsgResult OnClear(MsgWParam, MsgLParam);
    MsgResult OnHistory(MsgWParam, MsgLParam);
    MsgResult OnContact(MsgWParam, MsgLParam);

    void Shorten();
    void SetTexts();
    void SetUpPin();
    void AddAboutItem();
    void SetUpColumns();
    void CreateWindowFont();
    void CreateTip();
    void ApplySelectionTimer();
    void ApplySelection();
    void ApplyDisableAll();
    void UpdateButtons();
    void SetTopmost(bool topmost);
    bool Ask(int text);
    bool AskText(const std::string& text);

    PriceBarDoor& bar;
    ListView alertList;
    ListView currencyList;
    std::string lastSelection;
    std::string clickedSymbol;
    bool fillingCurrencies = false;
    HFONT windowFont = nullptr;
    CXInfoTip pinTip;
};
