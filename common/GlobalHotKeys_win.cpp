#include "common/GlobalHotKeys.h"
#include "platform/Text.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

std::vector<int> GlobalHotKeys::Register(HWND window) {
    owner = window;
    const auto& table = HotKeyTable();
    for (int i = 0; i < kHotKeyCount; ++i) {
        const std::wstring name = Widen(table[i].atomName);
        atoms[i] = GlobalFindAtomW(name.c_str());
        if (atoms[i] < 1)
            atoms[i] = GlobalAddAtomW(name.c_str());
    }
    std::vector<int> failures;
    for (int i = 0; i < kHotKeyCount; ++i) {
        const HotKeyDefinition& key = table[i];
        const HotKeyChoice choice =
            ResolveHotKey(key, Config().Get(key.keySetting), Config().Get(key.modifierSetting));
        if (choice.Registers() &&
            !RegisterHotKey(owner, atoms[i], ModifiersToRegistrationFlags(choice.modifiers),
                            choice.key)) {
            failures.push_back(i);
            continue;
        }
        Config().SetInt(key.keySetting, choice.key);
        Config().SetInt(key.modifierSetting, choice.modifiers);
    }
    return failures;
}

void GlobalHotKeys::Unregister() {
    for (ATOM& atom : atoms) {
        if (!atom)
            continue;
        GlobalDeleteAtom(atom);
        UnregisterHotKey(owner, atom);
        atom = 0;
    }
}

int GlobalHotKeys::RowOf(int hotKeyId) const {
    if (hotKeyId < 1)
        return -1;
    for (int i = 0; i < kHotKeyCount; ++i)
        if (atoms[i] == hotKeyId)
            return i;
    return -1;
}

void ShowHotKeyFailures(HWND owner, const std::vector<int>& failedRows) {
    if (failedRows.empty())
        return;
    MessageBoxW(owner,
                Widen(HotKeyWarningText(GetText(kTextHotKeyFailureHead), failedRows)).c_str(),
                Widen(kHotKeyWarningCaption).c_str(), MB_OK | MB_ICONINFORMATION);
}
