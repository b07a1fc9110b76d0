#pragma once
// The price bar as the end-to-end tests see it from outside: its window, its quote list read
// across the process boundary, the screen under it, and the mouse over it.
#include "tests/e2e/Harness.h"
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

inline constexpr char kBarTitle[] = "Norvak Pip Warden";
inline constexpr Milliseconds kMainTick = 2000ms;
// Beside a tick, the time a loaded machine may need to paint and to answer.
inline constexpr Milliseconds kTickSlack = 1500ms;

Placement MainProgramWithLog(); // file\Pipwarden_log.exe: the diagnostic log is on

// The bar of that process once it is shown; nullptr when none appears in time.
HWND WaitForBar(DWORD processId, Milliseconds timeout = kStartTimeout);

// The items of the last menu the program with the log on listed in its log ("a|b|...|"),
// once it has; empty when it does not in time.
std::string WaitForLoggedMenu(const std::string& programPath, const std::string& menuName);

// Asks the program to exit through its menu command, then ends it when it does not.
void CloseMainProgram(Process& program, HWND bar);

// The bar's quote list, read through a block of the bar's process memory.
class RemoteQuoteList {
public:
    explicit RemoteQuoteList(HWND bar);
    ~RemoteQuoteList();
    RemoteQuoteList(const RemoteQuoteList&) = delete;
    RemoteQuoteList& operator=(const RemoteQuoteList&) = delete;

    explicit operator bool() const { return block != nullptr; }
    HWND List() const { return list; }

    int ColumnCount() const;
    std::vector<std::string> ColumnTitles();
    int ColumnWidth(int column) const;
    std::string Cell(int column); // of the one row
    // The cell's rectangle on the screen; none when the list does not answer.
    std::optional<RECT> CellOnScreen(int column);
    // The header divider right of the column, on the screen, in the middle of the header.
    std::optional<POINT> DividerOnScreen(int column);

private:
    bool Send(UINT message, WPARAM wParam, std::size_t bytes, const void* in, void* out);

    HWND list = nullptr;
    HANDLE process = nullptr;
    void* block = nullptr;
};

// Pixels of exactly this colour inside a rectangle of the screen.
int CountScreenPixels(const RECT& area, COLORREF colour);

// The real mouse, as a user moves it (the system's input queue).
void MouseDrag(POINT from, POINT to);
void MouseRightClick(POINT at);
void MouseMove(POINT to);
void MouseLeftClick(POINT at);
// The keys go down in order and up in reverse, through the system's input queue.
void PressKeys(std::initializer_list<WORD> keys);

// Global hot keys the test holds, so that the program finds them taken; let go at the end.
class HeldHotKeys {
public:
    HeldHotKeys() = default;
    HeldHotKeys(const HeldHotKeys&) = delete;
    HeldHotKeys& operator=(const HeldHotKeys&) = delete;
    ~HeldHotKeys();
    bool Hold(UINT modifiers, UINT key);

private:
    std::vector<int> ids;
};

} // namespace e2e
