#pragma once
// The five global hot keys of one window, each registered under its global atom. Win32 code.
#include <windows.h>
#include "common/HotKeys.h"
#include <array>
#include <vector>

class GlobalHotKeys {
public:
    GlobalHotKeys() = default;
    GlobalHotKeys(const GlobalHotKeys&) = delete;
    GlobalHotKeys& operator=(const GlobalHotKeys&) = delete;

    // Registers the keys of the settings (or their defaults) in table order and stores
    // what was registered; a key that fails keeps its settings. Returns the failed rows
    // (HotKeyIndex) in table order.
    std::vector<int> Register(HWND window);
    void Unregister();
    // The table row of a WM_HOTKEY id; -1 when it is none of ours.
    int RowOf(int hotKeyId) const;

private:
    HWND owner = nullptr;
    std::array<ATOM, kHotKeyCount> atoms{};
};

// The "Warning" box that lists the keys that could not be registered; none for no rows.
void ShowHotKeyFailures(HWND owner, const std::vector<int>& failedRows);
