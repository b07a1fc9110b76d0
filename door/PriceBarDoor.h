#pragma once
// The door: what the other windows may ask of the price bar, and the only way up to it. The
// bar implements it and hands it to the windows it opens; each of them ends before the bar
// does, so none keeps it longer than the bar lives. Win32 code only.
#include <windows.h>
#include <string>
#include <vector>

class PriceBarDoor {
public:
    // The bar's window, the owner of the windows it opens.
    virtual HWND BarWindow() const = 0;
    virtual bool BarShown() const = 0;
    // Ends the bar and with it the program.
    virtual void CloseBar() = 0;
    // A program menu command, carried out once the caller's message is over.
    virtual void PostBarCommand(UINT command) = 0;
    // A new instance, started once the caller's own work (a modal loop) is over.
    virtual void RequestRestart() = 0;

    // The alerts file changed: the bar reloads its alert table.
    virtual void ReloadAlerts() = 0;
    // The displayed pairs changed: the bar rebuilds its columns.
    virtual void RebuildColumns() = 0;
    // The price text the bar shows for a pair; "" when it has no column.
    virtual std::string CellText(const std::string& symbol) const = 0;
    // The Internet source's first pages are still on their way: no pairs is no failure yet.
    virtual bool QuotePagesPending() const = 0;

    // The pair's floating window, or the open one brought to the top.
    virtual void OpenFloatWindow(const std::string& symbol) = 0;
    // The options window, modal, on the page (OptionsPage); true when the user's choice
    // restarts the program.
    virtual bool OpenOptionsWindow(int page) = 0;
    virtual void OpenHistoryWindow() = 0;

    // The global hot keys registered again after the options changed them; the rows
    // (HotKeyIndex) that could not be, in table order.
    virtual std::vector<int> RegisterHotKeys() = 0;
    // The tray icon on or off at once.
    virtual void ShowTrayIcon(bool on) = 0;

protected:
    ~PriceBarDoor() = default;
};
