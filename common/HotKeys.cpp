#include "common/HotKeys.h"
#include "platform/Text.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

const std::array<HotKeyDefinition, kHotKeyCount>& HotKeyTable() {
    static const std::array<HotKeyDefinition, kHotKeyCount> table = {{
        {"TICKMON_MT4", "OPTHOTMT4VC", "OPTHOTMT4WM", 'Z', kTextHotKeyTerminal},
        {"TICKMON_BAR", "OPTHOTBARVC", "OPTHOTBARWM", 'X', kTextHotKeyPriceBar},
        {"TICKMON_SETTINGS", "OPTHOTSETTINGSVC", "OPTHOTSETTINGSWM", 'S', kTextHotKeyAlerts},
        {"TICKMON_ICON", "OPTHOTICONVC", "OPTHOTICONWM", 'T', kTextHotKeyTray},
        {"TICKMON_NEWS", "OPTHOTNEWSVC", "OPTHOTNEWSWM", 'V', kTextHotKeyNews},
    }};
    return table;
}

unsigned ModifiersToRegistrationFlags(unsigned controlModifiers) {
    unsigned flags = 0;
    if (controlModifiers & kControlAlt)
        flags |= kModAlt;
    if (controlModifiers & kControlCtrl)
        flags |= kModControl;
    if (controlModifiers & kControlShift)
        flags |= kModShift;
    return flags;
}

HotKeyChoice ResolveHotKey(const HotKeyDefinition& definition, const std::string& savedKey,
                           const std::string& savedModifiers) {
    HotKeyChoice choice;
    if (!savedKey.empty() && !savedModifiers.empty()) {
        choice.key = static_cast<std::uint16_t>(LeadingInteger<int>(savedKey));
        choice.modifiers = static_cast<std::uint16_t>(LeadingInteger<int>(savedModifiers));
    } else {
        choice.key = static_cast<std::uint16_t>(definition.defaultKey);
        choice.modifiers = kDefaultHotKeyModifiers;
    }
    return choice;
}

std::string HotKeyWarningText(const std::string& head, const std::vector<int>& failedRows) {
    std::string text = head + ":" + "\r\n";
    for (int row : failedRows)
        text += "\r\n" + GetText(HotKeyTable()[row].failureTextEntry);
    return text;
}
