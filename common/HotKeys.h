#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The five global hot keys, in registration order.
struct HotKeyDefinition {
    const char* atomName;
    const char* keySetting;      // virtual-key code, decimal
    const char* modifierSetting; // hot-key control modifiers (1 Shift, 2 Ctrl, 4 Alt)
    int defaultKey;
    int failureTextEntry;
};

enum HotKeyIndex { kHotKeyTerminal, kHotKeyPriceBar, kHotKeyAlerts, kHotKeyTray, kHotKeyNews };
inline constexpr int kHotKeyCount = 5;
inline constexpr int kDefaultHotKeyModifiers = 3; // Shift + Ctrl
inline constexpr const char* kHotKeyWarningCaption = "Warning";

const std::array<HotKeyDefinition, kHotKeyCount>& HotKeyTable();

// Modifier bits of the hot-key control.
inline constexpr unsigned kControlShift = 1, kControlCtrl = 2, kControlAlt = 4;
// Registration flags of the platform (MOD_ALT, MOD_CONTROL, MOD_SHIFT).
inline constexpr unsigned kModAlt = 1, kModControl = 2, kModShift = 4;

unsigned ModifiersToRegistrationFlags(unsigned controlModifiers);

struct HotKeyChoice {
    std::uint16_t key = 0;
    std::uint16_t modifiers = 0; // in the hot-key control's form
    bool Registers() const { return key != 0 || modifiers != 0; }
};

// The saved pair when both are set (non-numbers count 0, 16 bits each), else the default.
HotKeyChoice ResolveHotKey(const HotKeyDefinition& definition, const std::string& savedKey,
                           const std::string& savedModifiers);

// The "Warning" text: the head line, ":" and the failed rows' names, "\r\n" before each.
std::string HotKeyWarningText(const std::string& head, const std::vector<int>& failedRows);
