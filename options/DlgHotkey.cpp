#include "options/DlgHotkey.h"
#include "common/GlobalHotKeys.h"
#include "common/HotKeys.h"
#include "options/OptionRules.h"
#include "platform/AlertControls.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

namespace {
struct HotKeyRow {
    int label;
    int control;
};
// In the order of the hot-key table.
constexpr HotKeyRow kRows[kHotKeyCount] = {
    {IDC_HOTKEY_TERMINAL_LABEL, IDC_HOTKEY_TERMINAL}, {IDC_HOTKEY_BAR_LABEL, IDC_HOTKEY_BAR},
    {IDC_HOTKEY_ALERTS_LABEL, IDC_HOTKEY_ALERTS},     {IDC_HOTKEY_TRAY_LABEL, IDC_HOTKEY_TRAY},
    {IDC_HOTKEY_NEWS_LABEL, IDC_HOTKEY_NEWS},
};
} // namespace

const MessageMap<CDlgHotkey> CDlgHotkey::messages = {
    onMessage(WM_INITDIALOG, &CDlgHotkey::OnInitDialog, "OnInitDialog"),
};

CDlgHotkey::CDlgHotkey(PriceBarDoor& bar, PageChanged changed)
    : DialogOf(IDD_OPT_HOTKEY), bar(bar), changed(std::move(changed)) {}

bool CDlgHotkey::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    if (message == WM_COMMAND && loaded && changed)
        changed();
    return DialogOf::OnMessage(message, wParam, lParam, result);
}

MsgResult CDlgHotkey::OnInitDialog(MsgWParam, MsgLParam) {
    const auto& table = HotKeyTable();
    for (int row = 0; row < kHotKeyCount; ++row) {
        SetControlText(Item(kRows[row].label), GetText(table[row].failureTextEntry) + ":");
        HotKeyChoice stored;
        stored.key =
            static_cast<std::uint16_t>(LeadingInteger<int>(Config().Get(table[row].keySetting)));
        stored.modifiers = static_cast<std::uint16_t>(
            LeadingInteger<int>(Config().Get(table[row].modifierSetting)));
        SendMessageW(Item(kRows[row].control), HKM_SETHOTKEY, HotKeyControlWord(stored), 0);
    }
    if (!AppConfig().newsEnabled) {
        ShowWindow(Item(IDC_HOTKEY_NEWS_LABEL), SW_HIDE);
        ShowWindow(Item(IDC_HOTKEY_NEWS), SW_HIDE);
    }
    loaded = true;
    return TRUE;
}

void CDlgHotkey::Apply() {
    const auto& table = HotKeyTable();
    // The news row keeps what it had when its key is taken.
    const std::string newsKey = Config().Get(table[kHotKeyNews].keySetting);
    const std::string newsModifiers = Config().Get(table[kHotKeyNews].modifierSetting);
    for (int row = 0; row < kHotKeyCount; ++row) {
        const HotKeyChoice choice = HotKeyFromControlWord(static_cast<std::uint16_t>(
            SendMessageW(Item(kRows[row].control), HKM_GETHOTKEY, 0, 0)));
        Config().SetInt(table[row].keySetting, choice.key);
        Config().SetInt(table[row].modifierSetting, choice.modifiers);
    }
    // The bar registers in table order and leaves a failed row's settings as they are.
    const std::vector<int> failures = bar.RegisterHotKeys();
    for (int row : failures) {
        if (row == kHotKeyNews) {
            Config().Set(table[row].keySetting, newsKey);
            Config().Set(table[row].modifierSetting, newsModifiers);
        } else {
            Config().SetInt(table[row].keySetting, 0);
            Config().SetInt(table[row].modifierSetting, 0);
        }
    }
    ShowHotKeyFailures(Handle(), failures);
}
