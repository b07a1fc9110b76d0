#include "alerts/DlgMain.h"
#include "alerts/AlertListRules.h"
#include "alerts/AlertStore.h"
#include "alerts/AlertWindows.h"
#include "alerts/DlgAlertAdd.h"
#include "alerts/ListKeys.h"
#include "platform/AlertControls.h"
#include "platform/Dpi_win.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "quotes/FXPrice.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceFormat.h"
#include "quotes/PriceLookup.h"
#include "quotes/QuoteKeys.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

namespace {
constexpr DWORD kListStyles = 0x35; // grid lines, check boxes, header drag, full-row select
constexpr int kShorterBy = 90;
constexpr int kButtonsUpBy = 85;
constexpr UINT kAboutCommandMask = 0xFFF0;
} // namespace

const MessageMap<CDlgMain> CDlgMain::messages = {
    onMessage(WM_INITDIALOG, &CDlgMain::OnInitDialog, "OnInitDialog"),
    onMessage(WM_TIMER, &CDlgMain::OnTimer, "OnTimer"),
    onMessage(WM_SYSCOMMAND, &CDlgMain::OnSysCommand, "OnSysCommand"),
    onMessage(WM_CLOSE, &CDlgMain::OnHide, "OnClose"),
    onCommand(IDOK, &CDlgMain::OnEnter, "OnOK"),
    onCommand(IDCANCEL, &CDlgMain::OnHide, "OnCancel"),
    onNotify(IDC_CURRENCY_LIST, NM_CLICK, &CDlgMain::OnCurrencyClick, "OnClickCurrency"),
    onNotify(IDC_CURRENCY_LIST, LVN_ITEMCHANGED, &CDlgMain::OnCurrencyChanged,
             "OnItemchangedCurrency"),
    onNotify(IDC_ALERT_LIST, NM_CLICK, &CDlgMain::OnAlertClick, "OnClickAlerts"),
    onNotify(IDC_ALERT_LIST, LVN_ITEMCHANGED, &CDlgMain::OnAlertClick, "OnItemchangedAlerts"),
    onNotify(IDC_ALERT_LIST, NM_DBLCLK, &CDlgMain::OnEdit, "OnDblclk"),
    onNotify(IDC_ALERT_LIST, NM_RETURN, &CDlgMain::OnEdit, "OnReturnAlerts"),
    onNotify(IDC_ALERT_LIST, LVN_KEYDOWN, &CDlgMain::OnAlertKey, "OnKeydownAlerts"),
    onCommand(IDC_SHOW_BID, BN_CLICKED, &CDlgMain::OnShowBid, "OnShowBid"),
    onCommand(IDC_SHOW_ASK, BN_CLICKED, &CDlgMain::OnShowAsk, "OnShowAsk"),
    onCommand(IDC_REFRESH, BN_CLICKED, &CDlgMain::OnRefresh, "OnRefresh"),
    onCommand(IDC_PIN_OFF, STN_CLICKED, &CDlgMain::OnPinOn, "OnPinOn"),
    onCommand(IDC_PIN_ON, STN_CLICKED, &CDlgMain::OnPinOff, "OnPinOff"),
    onCommand(IDC_LIST_OPTIONS, BN_CLICKED, &CDlgMain::OnOptions, "OnOptions"),
    onCommand(IDC_DISABLE_ALL, BN_CLICKED, &CDlgMain::OnDisableAll, "OnDisableAll"),
    onCommand(IDC_ADD_ALERT, BN_CLICKED, &CDlgMain::OnAdd, "OnAdd"),
    onCommand(IDC_EDIT_ALERT, BN_CLICKED, &CDlgMain::OnEdit, "OnEdit"),
    onCommand(IDC_DELETE_ALERT, BN_CLICKED, &CDlgMain::OnDelete, "OnDelete"),
    onCommand(IDC_CLEAR_ALERTS, BN_CLICKED, &CDlgMain::OnClear, "OnClear"),
    onCommand(IDC_ALERTS_HISTORY, BN_CLICKED, &CDlgMain::OnHistory, "OnHistory"),
    onCommand(IDC_CONTACT, BN_CLICKED, &CDlgMain::OnContact, "OnContact"),
    onCommand(IDC_LIST_CLOSE, BN_CLICKED, &CDlgMain::OnHide, "OnClose"),
};

CDlgMain::CDlgMain(PriceBarDoor& bar) : DialogOf(IDD_ALERTS_LIST), bar(bar) {}

MsgResult CDlgMain::OnInitDialog(MsgWParam, MsgLParam) {
    alertList.Attach(Item(IDC_ALERT_LIST));
    currencyList.Attach(Item(IDC_CURRENCY_LIST));
    lastSelection = Config().Get(barkey::kDisplayList);
    clickedSymbol.clear();
    Shorten();
    SetTexts();
    SetUpPin();
    AddAboutItem();
    const bool bid = MTHandler().ShowBid();
    SetChecked(Item(IDC_SHOW_BID), bid);
    SetChecked(Item(IDC_SHOW_ASK), !bid);
    SetChecked(Item(IDC_DISABLE_ALL), Config().Get(listkey::kDisableAll) == "1");
    SetUpColumns();
    FillCurrencyList();
    Refill(false);
    ApplyDisableAll();
    CreateWindowFont();
    DeleteMenu(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND);
    StartTimer(kUpdateButtonsTimer, kListTimerMs);
    CreateTip();
    return TRUE;
}

// The template keeps room below the buttons that this window does not use.
void CDlgMain::Shorten() {
    RECT window{};
    GetWindowRect(Handle(), &window);
    SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top - kShorterBy, SWP_NOMOVE | SWP_NOZORDER);
    for (int id : {IDC_ALERTS_HISTORY, IDC_CONTACT, IDC_LIST_CLOSE}) {
        RECT place{};
        GetWindowRect(Item(id), &place);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
        SetWindowPos(Item(id), nullptr, place.left, place.top - kButtonsUpBy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
    }
}

void CDlgMain::SetTexts() {
    SetControlText(Handle(), GetMessage(kMsgProgramTitle));
    const std::string blank = AppConfig().languageIndex == kLangChinese ? "" : " ";
    const std::pair<int, std::string> texts[] = {
        {IDC_SELECT_LABEL, GetText(kTextSelectLabel) + ":"},
        {IDC_SHOW_BID, GetText(kTextShow) + blank + GetText(kTextBid)},
        {IDC_SHOW_ASK, GetText(kTextShow) + blank + GetText(kTextAsk)},
        {IDC_REFRESH, GetText(kTextRefresh)},
        {IDC_LIST_OPTIONS, GetText(kTextOptions)},
        {IDC_DISABLE_ALL, GetText(kTextDisableAll)},
        {IDC_ADD_ALERT, GetText(kTextAdd)},
        {IDC_EDIT_ALERT, GetText(kTextEdit)},
        {IDC_DELETE_ALERT, GetText(kTextDelete)},
        {IDC_CLEAR_ALERTS, GetText(kTextClear)},
        {IDC_ALERTS_HISTORY, GetText(kTextHistoryButton)},
        {IDC_CONTACT, GetText(kTextContact)},
        {IDC_LIST_CLOSE, GetText(kTextClose)},
    };
    for (const auto& [id, text] : texts)
        SetControlText(Item(id), text);
    const bool terminal = AppConfig().dataSource == kTerminalDataSource;
    ShowWindow(Item(IDC_SHOW_BID), terminal ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDC_SHOW_ASK), terminal ? SW_SHOW : SW_HIDE);
}

void CDlgMain::SetUpPin() {
    RECT off{};
    GetWindowRect(Item(IDC_PIN_OFF), &off);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&off), 2);
    SetWindowPos(Item(IDC_PIN_ON), nullptr, off.left, off.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const bool topmost = Config().Get(listkey::kTopmost) == "1";
    PictureButton::Show(Item(IDC_PIN_ON), topmost);
    PictureButton::Show(Item(IDC_PIN_OFF), !topmost);
}

void CDlgMain::AddAboutItem() {
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    wchar_t about[64] = {};
    LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUT, about, 64);
    if (menu && about[0]) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_ABOUT, about);
    }
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void CDlgMain::SetUpColumns() {
    alertList.SetExtendedStyle(kListStyles);
    currencyList.SetExtendedStyle(kListStyles);
    // The widths are pixels at 96 dpi; the list grows with the screen's resolution.
    const AlertColumns widths = AlertColumnWidths(AppConfig().languageIndex);
    RECT list{};
    GetClientRect(alertList.Handle(), &list);
    const int information = InformationColumnWidth(UnscaleForDpi(list.right), widths);
    alertList.InsertColumn(0, GetText(kTextDeleteColumn), ScaleForDpi(widths.check), LVCFMT_LEFT);
    alertList.InsertColumn(1, GetText(kTextCurrency), ScaleForDpi(widths.currency), LVCFMT_LEFT);
    alertList.InsertColumn(2, GetText(kTextAction), ScaleForDpi(widths.action), LVCFMT_LEFT);
    alertList.InsertColumn(3, GetText(kTextConditions), ScaleForDpi(widths.condition), LVCFMT_LEFT);
    alertList.InsertColumn(4, GetText(kTextInformation), ScaleForDpi(information), LVCFMT_LEFT);
    alertList.InsertColumn(kAlertListIdColumn, "", 0, LVCFMT_LEFT);
}

void CDlgMain::CreateWindowFont() {
    const bool chinese = AppConfig().languageIndex == kLangChinese;
    windowFont = Own(CreateDialogFont(chinese, chinese ? 12 : 13));
    ApplyFontToChildren(Handle(), windowFont);
}

void CDlgMain::CreateTip() {
    if (!pinTip.Create(Handle()))
        return;
    pinTip.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    pinTip.AddTool(Item(IDC_PIN_OFF), GetText(kTextAlwaysOnTop));
}

void CDlgMain::FillCurrencyList() {
    fillingCurrencies = true;
    currencyList.DeleteAllItems();
    std::vector<std::string> symbols;
    const bool gotSymbols = GetSymbols(symbols);
    // The source's failure marker is no pair to choose.
    std::erase(symbols, std::string(kPriceError));
    const std::string display = Config().Get(barkey::kDisplayList);
    CheckedList checks(currencyList.Handle());
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        const int item = static_cast<int>(i);
        currencyList.InsertItem(item, symbols[i]);
        checks.SetChecked(item, ListHasEntry(display, symbols[i]));
    }
    fillingCurrencies = false;
    const bool internet = AppConfig().dataSource != kTerminalDataSource;
    if (const int notice = CurrencySourceNotice(
            internet, FXPrice().Status(), gotSymbols && !symbols.empty(), bar.QuotePagesPending()))
        MessageBoxW(Handle(), Widen(GetText(notice)).c_str(),
                    Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK);
}

void CDlgMain::Refill(bool reload) {
    const auto rows =
        AlertListRows(LoadAllAlerts(AppConfig().alertsPath), Config().Get(barkey::kDisplayList));
    alertList.DeleteAllItems();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int item = static_cast<int>(i);
        alertList.InsertItem(item, "");
        alertList.SetItemText(item, 1, rows[i].currency);
        alertList.SetItemText(item, 2, rows[i].action);
        alertList.SetItemText(item, 3, rows[i].condition);
        alertList.SetItemText(item, 4, rows[i].information);
        alertList.SetItemText(item, kAlertListIdColumn, rows[i].id);
    }
    StartTimer(kUpdateButtonsTimer, kListTimerMs);
    if (reload)
        bar.ReloadAlerts();
}

MsgResult CDlgMain::OnTimer(MsgWParam wParam, MsgLParam) {
    const UINT_PTR timer = TimerId(wParam);
    StopTimer(timer);
    if (timer == kApplySelectionTimer)
        ApplySelectionTimer();
    else if (timer == kUpdateButtonsTimer)
        UpdateButtons();
    return 0;
}

void CDlgMain::ApplySelectionTimer() {
    std::vector<std::string> checked;
    const CheckedList checks(currencyList.Handle());
    for (int item : checks.CheckedItems())
        checked.push_back(currencyList.ItemText(item, 0));
    const std::string now = ComparableSelection(CheckedSet(checked));
    if (now != ComparableSelection(lastSelection))
        ApplySelection();
    else if (!clickedSymbol.empty())
        bar.OpenFloatWindow(clickedSymbol); // the pair's own price window
    clickedSymbol.clear();
    lastSelection = "," + now + ",";
}

void CDlgMain::ApplySelection() {
    std::vector<std::string> checked;
    const CheckedList checks(currencyList.Handle());
    for (int item : checks.CheckedItems())
        checked.push_back(currencyList.ItemText(item, 0));
    const std::string list = DisplayListOf(checked);
    if (checked.empty()) {
        MessageBoxW(Handle(), Widen(GetText(kTextSelectOne)).c_str(),
                    Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK);
        return;
    }
    Config().Set(barkey::kDisplayList, list);
    Config().Set(barkey::kWidth, "");
    bar.RebuildColumns();
}

MsgResult CDlgMain::OnCurrencyClick(MsgWParam, MsgLParam lParam) {
    const auto& click = NotifyAs<NMITEMACTIVATE>(lParam);
    clickedSymbol = click.iItem >= 0 ? currencyList.ItemText(click.iItem, 0) : "";
    StartTimer(kApplySelectionTimer, kListTimerMs);
    return 0;
}

// A check changed from the keyboard (space) counts like a click on it.
MsgResult CDlgMain::OnCurrencyChanged(MsgWParam, MsgLParam lParam) {
    const auto& change = NotifyAs<NMLISTVIEW>(lParam);
    if (fillingCurrencies || !(change.uChanged & LVIF_STATE) ||
        ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) == 0)
        return 0;
    StartTimer(kApplySelectionTimer, kListTimerMs);
    return 0;
}

// Delete asks as the button does, when the button would.
MsgResult CDlgMain::OnAlertKey(MsgWParam, MsgLParam lParam) {
    const auto& key = NotifyAs<NMLVKEYDOWN>(lParam);
    if (key.wVKey == VK_DELETE && IsWindowEnabled(Item(IDC_DELETE_ALERT)))
        OnDelete(0, 0);
    return 0;
}

MsgResult CDlgMain::OnAlertClick(MsgWParam, MsgLParam) {
    StartTimer(kUpdateButtonsTimer, kListTimerMs);
    return 0;
}

void CDlgMain::UpdateButtons() {
    if (IsChecked(Item(IDC_DISABLE_ALL)))
        return;
    const CheckedList rows(alertList.Handle());
    const ListButtons buttons = AlertListButtons(
        rows.SelectedItem() >= 0, !rows.CheckedItems().empty(), alertList.ItemCount());
    EnableWindow(Item(IDC_EDIT_ALERT), buttons.edit);
    EnableWindow(Item(IDC_DELETE_ALERT), buttons.remove);
    EnableWindow(Item(IDC_CLEAR_ALERTS), buttons.clear);
}

MsgResult CDlgMain::OnShowBid(MsgWParam, MsgLParam) {
    Config().Set(quotekey::kShowBid, "1");
    MTHandler().SetShowBid(true);
    ApplySelection();
    return 0;
}

MsgResult CDlgMain::OnShowAsk(MsgWParam, MsgLParam) {
    Config().Set(quotekey::kShowBid, "0");
    MTHandler().SetShowBid(false);
    ApplySelection();
    return 0;
}

MsgResult CDlgMain::OnRefresh(MsgWParam, MsgLParam) {
    FillCurrencyList();
    return 0;
}

void CDlgMain::SetTopmost(bool topmost) {
    SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Config().Set(listkey::kTopmost, topmost ? "1" : "0");
    PictureButton::Show(Item(IDC_PIN_ON), topmost);
    PictureButton::Show(Item(IDC_PIN_OFF), !topmost);
}

MsgResult CDlgMain::OnPinOn(MsgWParam, MsgLParam) {
    SetTopmost(true);
    return 0;
}

MsgResult CDlgMain::OnPinOff(MsgWParam, MsgLParam) {
    SetTopmost(false);
    return 0;
}

MsgResult CDlgMain::OnOptions(MsgWParam, MsgLParam) {
    bar.OpenOptionsWindow(0);
    return 0;
}

MsgResult CDlgMain::OnHistory(MsgWParam, MsgLParam) {
    bar.OpenHistoryWindow();
    return 0;
}

MsgResult CDlgMain::OnContact(MsgWParam, MsgLParam) {
    OpenAboutBox(Handle());
    return 0;
}

MsgResult CDlgMain::OnSysCommand(MsgWParam wParam, MsgLParam) {
    const UINT command = static_cast<UINT>(wParam) & kAboutCommandMask;
    if (command == IDM_ABOUT) {
        OpenAboutBox(Handle());
        return 0;
    }
    PassOn();
    return 0;
}

MsgResult CDlgMain::OnHide(MsgWParam, MsgLParam) {
    ShowWindow(Handle(), SW_HIDE);
    return 0;
}

// Enter on an alert row opens it, as a double click does; elsewhere Enter does nothing.
MsgResult CDlgMain::OnEnter(MsgWParam, MsgLParam) {
    if (GetFocus() == alertList.Handle())
        OnEdit(0, 0);
    return 0;
}
