#pragma once
// The alert editor: makes a new alert or changes one. Win32 code only.
#include "alerts/AlertEditorRules.h"
#include "door/PriceBarDoor.h"
#include "platform/Dialog.h"
#include "quotes/FXData.h"
#include <string>

class CDlgAlertAdd final : public DialogOf<CDlgAlertAdd> {
public:
    // An empty id makes new alerts; listWindow is refilled after each save.
    CDlgAlertAdd(PriceBarDoor& bar, std::string alertId, HWND listWindow);

    static const MessageMap<CDlgAlertAdd> messages;

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnMouseWheel(MsgWParam, MsgLParam);
    MsgResult OnHttpDone(MsgWParam, MsgLParam);
    MsgResult OnSubmit(MsgWParam, MsgLParam);
    MsgResult OnTest(MsgWParam, MsgLParam);
    MsgResult OnReset(MsgWParam, MsgLParam);
    MsgResult OnClose(MsgWParam, MsgLParam);
    MsgResult OnStateClick(MsgWParam, MsgLParam);
    MsgResult OnSoundClick(MsgWParam, MsgLParam);
    MsgResult OnVoiceClick(MsgWParam, MsgLParam);
    MsgResult OnEmailClick(MsgWParam, MsgLParam);
    MsgResult OnPhoneClick(MsgWParam, MsgLParam);
    MsgResult OnCurrencyChange(MsgWParam, MsgLParam);
    MsgResult OnPlus(MsgWParam, MsgLParam);
    MsgResult OnMinus(MsgWParam, MsgLParam);
    MsgResult OnBrowse(MsgWParam, MsgLParam);
    MsgResult OnRememberBox(MsgWParam, MsgLParam);

    void SetTexts();
    void FillBoxes();
    void ApplyLastUsed();
    void SetDefaults();
    void FillCurrencies();
    void LoadAlert();
    void LoadDate(const std::string& text);
    void LoadKinds(const AlertExtras& extras);
    void ReadKinds(AlertForm& form) const;
    void CreateWindowFont();
    void UpdateStates();
    void KeepNoCount();
    void PlaceConditionRow();
    AlertForm ReadForm() const;
    bool Refused(const AlertForm& form);
    void MovePrice(int control, const std::string& step, int direction);
    void CloseEditor(INT_PTR result);

    PriceBarDoor& bar;
    std::string alertId;
    bool editing = false;
    HWND listWindow = nullptr;
    std::string defaultSound;
    HFONT windowFont = nullptr;
    CHttpReq mailRequest;
};
