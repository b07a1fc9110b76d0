#pragma once
// A balloon tip that explains a control once the pointer rests on it. Win32 only.
#include <windows.h>
#include <string>
#include <unordered_map>

inline constexpr UINT_PTR kInfoTipShowTimer = 100;
inline constexpr UINT_PTR kInfoTipHideTimer = 101;

class CXInfoTip {
public:
    CXInfoTip() = default;
    ~CXInfoTip();
    CXInfoTip(const CXInfoTip&) = delete;
    CXInfoTip& operator=(const CXInfoTip&) = delete;

    bool Create(HWND owner);
    void SetFont(HFONT tipFont) { font = tipFont; }
    // The tip shows when the pointer rests on the control.
    void AddTool(HWND control, const std::string& text, HICON icon = nullptr);
    // Mouse messages of the owner's controls, passed on by the owner.
    void RelayEvent(HWND control, UINT message, LPARAM lParam);
    HWND Handle() const { return window; }

private:
    struct Tip {
        std::string text;
        HICON icon = nullptr;
    };
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ToolProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    static void Unhook(HWND control);
    void Show();
    void Paint();
    void Hide();

    HWND window = nullptr;
    std::unordered_map<HWND, Tip> tips{17};
    std::wstring text;
    HICON icon = nullptr;
    SIZE iconSize{};
    POINT shownAt{-1, -1};
    UINT showDelay = 800;
    HFONT font = nullptr;
    bool balloon = true;
    bool pointer = true;
    int marginX = 12;
    int marginY = 10;
    HRGN shape = nullptr;
};
