#pragma once
#include "tools/mt4sim/SimCommand.h"
#include "tools/mt4sim/SimMarket.h"
#include "tools/mt4sim/SimWindows_win.h"

#include <windows.h>

#include <string>
#include <vector>

// The simulated terminal's main window: Market Watch in one of the layouts, the walk,
// the clock, the test commands and the popups.
class TerminalWindow {
public:
    explicit TerminalWindow(const SimOptions& options);
    ~TerminalWindow();
    TerminalWindow(const TerminalWindow&) = delete;
    TerminalWindow& operator=(const TerminalWindow&) = delete;

    static bool RegisterClasses(HINSTANCE instance);
    bool Create(HINSTANCE instance, int show);
    // Keyboard input for the modeless popups; true when the message was used.
    bool PreTranslate(MSG& message);

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCreate();
    void Load();
    void OnTimer(UINT_PTR id);
    LRESULT OnCopyData(const COPYDATASTRUCT& data);
    void OnNotify(const NMHDR& header);
    void OnPopupClosed(HWND popup);
    void OnDestroy();

    bool RunCommand(SimCommand command, const std::string& payload);
    void ShowQuotes();
    void ShowTime();
    void OpenOrder(int row);
    void ShowAlert(const std::string& title);

    SimOptions options_;
    SimMarket market_;
    SimLayout layout_;
    SimChartData chartData_;
    std::vector<SimQuote> shown_;
    HWND window_ = nullptr;
    HWND order_ = nullptr;
    HWND alert_ = nullptr;
    HFONT font_ = nullptr;
    std::string shownTime_;
};
