#include "alerts/DlgAlertAdd.h"
#include "alerts/AlertListRules.h"
#include "alerts/AlertNumbers.h"
#include "alerts/AlertWindows.h"
#include "alerts/NotifyServices.h"
#include "delivery/DeliverySettings.h"
#include "door/OptionsPages.h"
#include "platform/AlertControls.h"
#include "platform/FileSystem.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "quotes/PriceLookup.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/OptionKeys.h"
#include "settings/TextIds.h"
#include <commdlg.h>
#include "settings/LangTable.h"

namespace {
constexpr int kMoveUp = 100;
} // namespace

const MessageMap<CDlgAlertAdd> CDlgAlertAdd::messages = {
    onMessage(WM_INITDIALOG, &CDlgAlertAdd::OnInitDialog, "OnInitDialog"),
    onMessage(WM_MOUSEWHEEL, &CDlgAlertAdd::OnMouseWheel, "OnMouseWheel"),
    onMessage(kHttpReqDoneMessage, &CDlgAlertAdd::OnHttpDone, "OnHttpDone"),
    onMessage(WM_CLOSE, &CDlgAlertAdd::OnClose, "OnClose"),
    onCommand(IDOK, &CDlgAlertAdd::OnSubmit, "OnOK"),
    onCommand(IDCANCEL, &CDlgAlertAdd::OnClose, "OnCancel"),
    onCommand(IDC_SUBMIT, BN_CLICKED, &CDlgAlertAdd::OnSubmit, "OnSubmit"),
    onCommand(IDC_TEST, BN_CLICKED, &CDlgAlertAdd::OnTest, "OnTest"),
    onCommand(IDC_RESET, BN_CLICKED, &CDlgAlertAdd::OnReset, "OnReset"),
    onCommand(IDC_EDITOR_CLOSE, BN_CLICKED, &CDlgAlertAdd::OnClose, "OnClose"),
    onCommand(IDC_ALERT_ENABLED, BN_CLICKED, &CDlgAlertAdd::OnStateClick, "OnEnable"),
    onCommand(IDC_NOTIFICATION, BN_CLICKED, &CDlgAlertAdd::OnStateClick, "OnNotification"),
    onCommand(IDC_DEFAULT_TEXT, BN_CLICKED, &CDlgAlertAdd::OnStateClick, "OnDefaultText"),
    onCommand(IDC_CUSTOM_TEXT_ON, BN_CLICKED, &CDlgAlertAdd::OnStateClick, "OnCustomText"),
    onCommand(IDC_SPEAK_LAST, BN_CLICKED, &CDlgAlertAdd::OnStateClick, "OnSpeakLast"),
    onCommand(IDC_START_ON, BN_CLICKED, &CDlgAlertAdd::OnStateClick, "OnAnd"),
    onCommand(IDC_DATE_ON, BN_CLICKED, &CDlgAlertAdd::OnStateClick, "OnDateCheck"),
    onCommand(IDC_UNLIMITED, BN_CLICKED, &CDlgAlertAdd::OnStateClick, "OnUnlimited"),
    onCommand(IDC_UNTIL_ON, BN_CLICKED, &CDlgAlertAdd::OnStateClick, "OnUntil"),
    onCommand(IDC_SOUND, BN_CLICKED, &CDlgAlertAdd::OnSoundClick, "OnSound"),
    onCommand(IDC_VOICE, BN_CLICKED, &CDlgAlertAdd::OnVoiceClick, "OnVoice"),
    onCommand(IDC_EMAIL, BN_CLICKED, &CDlgAlertAdd::OnEmailClick, "OnEmail"),
    onCommand(IDC_PHONE, BN_CLICKED, &CDlgAlertAdd::OnPhoneClick, "OnPhone"),
    onCommand(IDC_ALERT_CONDITION, CBN_SELCHANGE, &CDlgAlertAdd::OnStateClick, "OnConditionChange"),
    onCommand(IDC_HOUR, CBN_SELCHANGE, &CDlgAlertAdd::OnStateClick, "OnHourChange"),
    onCommand(IDC_ALERT_CURRENCY, CBN_SELCHANGE, &CDlgAlertAdd::OnCurrencyChange,
              "OnCurrencyChange"),
    onCommand(IDC_PRICE_PLUS, BN_CLICKED, &CDlgAlertAdd::OnPlus, "OnPlus"),
    onCommand(IDC_PRICE_MINUS, BN_CLICKED, &CDlgAlertAdd::OnMinus, "OnMinus"),
    onCommand(IDC_SOUND_BROWSE, BN_CLICKED, &CDlgAlertAdd::OnBrowse, "OnBrowse"),
    onCommand(IDC_PRICE_STEP, CBN_KILLFOCUS, &CDlgAlertAdd::OnRememberBox, "OnKillfocusStep"),
    onCommand(IDC_PIP_STEP, CBN_KILLFOCUS, &CDlgAlertAdd::OnRememberBox, "OnKillfocusPips"),
    onCommand(IDC_INTERVAL, CBN_KILLFOCUS, &CDlgAlertAdd::OnRememberBox, "OnKillfocusInterval"),
    onCommand(IDC_ALERT_TIMES, CBN_KILLFOCUS, &CDlgAlertAdd::OnRememberBox, "OnKillfocusTimes"),
    onCommand(IDC_HOUR, CBN_KILLFOCUS, &CDlgAlertAdd::OnRememberBox, "OnKillfocusHour"),
    onCommand(IDC_MINUTE, CBN_KILLFOCUS, &CDlgAlertAdd::OnRememberBox, "OnKillfocusMinute"),
};

CDlgAlertAdd::CDlgAlertAdd(PriceBarDoor& bar, std::string alertId, HWND listWindow)
    : DialogOf(IDD_ALERT_EDITOR), bar(bar), alertId(std::move(alertId)), listWindow(listWindow) {}

MsgResult CDlgAlertAdd::OnInitDialog(MsgWParam, MsgLParam) {
    RECT place{};
    GetWindowRect(Handle(), &place);
    SetWindowPos(Handle(), HWND_TOPMOST, place.left, place.top - kMoveUp, 0, 0, SWP_NOSIZE);
    editing = !alertId.empty();
    defaultSound = DefaultSoundFile();
    SetTexts();
    FillBoxes();
    ApplyLastUsed();
    SetDefaults();
    FillCurrencies();
    if (editing) {
        LoadAlert();
    } else {
        ShowWindow(Item(IDC_ALERT_ENABLED), SW_HIDE);
        ShowWindow(Item(IDC_RESET), SW_HIDE);
    }
    CreateWindowFont();
    ArrowKeysPress(Item(IDC_ALERT_PRICE), IDC_PRICE_PLUS, IDC_PRICE_MINUS);
    Config().Set(barkey::kBringToTop, "0");
    UpdateStates();
    KeepNoCount();
    return TRUE;
}

// An alert stored without a count in force keeps none unless the user gives it one: the box
// stays off until a click runs the rules again.
void CDlgAlertAdd::KeepNoCount() {
    if (!editing)
        return;
    const std::optional<AlertRecord> stored = ::LoadAlert(AppConfig().alertsPath, alertId);
    if (stored && stored->alerttimes == kNoCountInForce)
        EnableWindow(Item(IDC_ALERT_TIMES), FALSE);
}

void CDlgAlertAdd::CreateWindowFont() {
    const bool chinese = AppConfig().languageIndex == kLangChinese;
    windowFont = Own(CreateDialogFont(chinese, chinese ? 15 : 13));
    ApplyFontToChildren(Handle(), windowFont);
}

void CDlgAlertAdd::UpdateStates() {
    EditorState state;
    state.enabled = IsChecked(Item(IDC_ALERT_ENABLED));
    state.editing = editing;
    state.condition = ComboBox(Item(IDC_ALERT_CONDITION)).Selected();
    state.notification = IsChecked(Item(IDC_NOTIFICATION));
    state.voice = IsChecked(Item(IDC_VOICE));
    state.sound = IsChecked(Item(IDC_SOUND));
    state.speakLast = IsChecked(Item(IDC_SPEAK_LAST));
    state.custom = IsChecked(Item(IDC_CUSTOM_TEXT_ON));
    state.startOn = IsChecked(Item(IDC_START_ON));
    state.dateOn = IsChecked(Item(IDC_DATE_ON));
    state.hourAny = ComboBox(Item(IDC_HOUR)).Selected() <= 0;
    state.unlimited = IsChecked(Item(IDC_UNLIMITED));
    state.untilOn = IsChecked(Item(IDC_UNTIL_ON));
    const EditorEnabling enabling = EditorEnabledStates(state);
    for (const auto& [id, on] : enabling.enabled)
        EnableWindow(Item(id), on ? TRUE : FALSE);
    if (enabling.uncheckAutoDelete)
        SetChecked(Item(IDC_AUTO_DELETE), false);
    for (int id : ConditionControls())
        ShowWindow(Item(id), SW_HIDE);
    for (int id : VisibleConditionControls(state.condition))
        ShowWindow(Item(id), SW_SHOW);
    PlaceConditionRow();
}

void CDlgAlertAdd::PlaceConditionRow() {
    RECT price{};
    GetWindowRect(Item(IDC_ALERT_PRICE), &price);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&price), 2);
    for (int id : ConditionControls()) {
        RECT place{};
        GetWindowRect(Item(id), &place);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
        // A combo box's window height includes its list; the size stays as it is.
        SetWindowPos(Item(id), nullptr, place.left, price.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool CDlgAlertAdd::Refused(const AlertForm& form) {
    const auto refusal = CheckAlertForm(form, FileExists(form.soundfile));
    if (!refusal)
        return false;
    MessageBoxW(Handle(), Widen(GetText(refusal->text)).c_str(),
                Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK);
    if (refusal->focus) {
        SetFocus(Item(refusal->focus));
        if (refusal->openList)
            ComboBox(Item(refusal->focus)).ShowList();
    }
    return true;
}

MsgResult CDlgAlertAdd::OnSubmit(MsgWParam, MsgLParam) {
    AlertForm form = ReadForm();
    if (form.enabled && Refused(form))
        return 0;
    FillEmptyRepeatCount(form);
    SetControlText(Item(IDC_ALERT_TIMES), form.repeatCount);
    // Someone deleted the section meanwhile: the alert is made again, with its currency.
    if (editing && !::LoadAlert(AppConfig().alertsPath, alertId))
        form.existingId.clear();
    SaveAlert(AppConfig().alertsPath, form);
    RefillAlertsAfterChange(bar, listWindow);
    if (editing) {
        CloseEditor(IDOK);
        return 0;
    }
    MessageBoxW(Handle(), Widen(GetText(kTextFinished)).c_str(),
                Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK);
    return 0;
}

MsgResult CDlgAlertAdd::OnTest(MsgWParam, MsgLParam) {
    const AlertForm form = ReadForm();
    if (Refused(form))
        return 0;
    const std::string price = bar.CellText(form.currency);
    ShowNotify(TestAlert(form, price), PlatformNotifyServices([this](const std::string& url) {
                   mailRequest.Request(reinterpret_cast<WindowHandle>(Handle()), url, "", true,
                                       false, kEmailRequestNumber);
               }));
    return 0;
}

MsgResult CDlgAlertAdd::OnHttpDone(MsgWParam, MsgLParam lParam) {
    LogEmailCompletion(static_cast<long long>(lParam), CHttpReq::ResponseText());
    return 0;
}

MsgResult CDlgAlertAdd::OnReset(MsgWParam, MsgLParam) {
    LoadAlert();
    UpdateStates();
    return 0;
}

MsgResult CDlgAlertAdd::OnClose(MsgWParam, MsgLParam) {
    CloseEditor(IDCANCEL);
    return 0;
}

void CDlgAlertAdd::CloseEditor(INT_PTR result) {
    Config().Set(barkey::kBringToTop, "1");
    End(result);
}

MsgResult CDlgAlertAdd::OnStateClick(MsgWParam, MsgLParam) {
    UpdateStates();
    return 0;
}

// An alert either plays a file or speaks.
MsgResult CDlgAlertAdd::OnSoundClick(MsgWParam, MsgLParam) {
    if (IsChecked(Item(IDC_SOUND)))
        SetChecked(Item(IDC_VOICE), false);
    UpdateStates();
    return 0;
}

MsgResult CDlgAlertAdd::OnVoiceClick(MsgWParam, MsgLParam) {
    if (IsChecked(Item(IDC_VOICE)))
        SetChecked(Item(IDC_SOUND), false);
    UpdateStates();
    return 0;
}

MsgResult CDlgAlertAdd::OnEmailClick(MsgWParam, MsgLParam) {
    if (IsChecked(Item(IDC_EMAIL)) && Config().Get(optkey::kNotifyEmail).empty())
        bar.OpenOptionsWindow(kEmailPage);
    return 0;
}

// Ticking the phone with no channel set up leads to where they are set up.
MsgResult CDlgAlertAdd::OnPhoneClick(MsgWParam, MsgLParam) {
    const PhoneSettings phone = LoadPhoneSettings();
    const bool any = ChannelConfigured(DeliveryChannel::Telegram, phone) ||
                     ChannelConfigured(DeliveryChannel::Ntfy, phone) ||
                     ChannelConfigured(DeliveryChannel::Webhook, phone);
    if (IsChecked(Item(IDC_PHONE)) && !any)
        bar.OpenOptionsWindow(kPhonePage);
    return 0;
}

MsgResult CDlgAlertAdd::OnCurrencyChange(MsgWParam, MsgLParam) {
    const ComboBox currencies(Item(IDC_ALERT_CURRENCY));
    const std::string price = GetPrice(currencies.ItemText(currencies.Selected()));
    SetControlText(Item(IDC_ALERT_PRICE), price);
    SetControlText(Item(IDC_START_PRICE), price);
    SetControlText(Item(IDC_CHANNEL_LOW), price);
    SetControlText(Item(IDC_CHANNEL_HIGH), price);
    return 0;
}

void CDlgAlertAdd::MovePrice(int control, const std::string& step, int direction) {
    const ComboBox currencies(Item(IDC_ALERT_CURRENCY));
    const std::string symbol = currencies.ItemText(currencies.Selected());
    const std::string price = ControlText(Item(control));
    if (!price.empty())
        SetControlText(Item(control), StepPrice(symbol, price, step, direction));
}

MsgResult CDlgAlertAdd::OnPlus(MsgWParam, MsgLParam) {
    MovePrice(IDC_ALERT_PRICE, ControlText(Item(IDC_PRICE_STEP)), 1);
    return 0;
}

MsgResult CDlgAlertAdd::OnMinus(MsgWParam, MsgLParam) {
    MovePrice(IDC_ALERT_PRICE, ControlText(Item(IDC_PRICE_STEP)), -1);
    return 0;
}

MsgResult CDlgAlertAdd::OnMouseWheel(MsgWParam wParam, MsgLParam) {
    HWND focus = GetFocus();
    const int turn = WheelDelta(wParam);
    for (int id : {IDC_ALERT_PRICE, IDC_START_PRICE, IDC_CHANNEL_LOW, IDC_CHANNEL_HIGH})
        if (focus == Item(id) && turn != 0)
            MovePrice(id, "1", turn > 0 ? 1 : -1);
    return 0;
}

MsgResult CDlgAlertAdd::OnBrowse(MsgWParam, MsgLParam) {
    std::wstring file(MAX_PATH, L'\0');
    const std::wstring folder = Widen(BrowseFolder(ControlText(Item(IDC_SOUND_FILE))));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = L"*.wav\0*.wav\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&dialog))
        SetControlText(Item(IDC_SOUND_FILE), Narrow(file.c_str()));
    return 0;
}
