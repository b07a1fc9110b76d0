#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Windows, processes and remote memory are opaque numbers to the portable code; 0 is none.
using WindowHandle = std::uintptr_t;
using ProcessHandle = std::uintptr_t;
using RemoteAddress = std::uintptr_t;

enum class DesktopKey { Up, Down, Enter };

// The list-view item request in the layout the terminal's 32-bit list view reads: the
// system's LVITEMA up to its indent field. The terminal is 32-bit whatever we are built as;
// only a 64-bit list (a 64-bit build's own test terminal) reads the wide layout below.
struct ListItemRequest {
    std::uint32_t mask = 0;
    std::int32_t item = 0;
    std::int32_t subItem = 0;
    std::uint32_t state = 0;
    std::uint32_t stateMask = 0;
    std::uint32_t text = 0; // address in the terminal's process
    std::int32_t textMax = 0;
    std::int32_t image = 0;
    std::uint32_t param = 0;
    std::int32_t indent = 0;
};
static_assert(sizeof(ListItemRequest) == 40, "the terminal reads a 40-byte request");
struct WideListItemRequest {
    std::uint32_t mask = 0;
    std::int32_t item = 0;
    std::int32_t subItem = 0;
    std::uint32_t state = 0;
    std::uint32_t stateMask = 0;
    std::uint32_t padding = 0;
    std::uint64_t text = 0;
    std::int32_t textMax = 0;
    std::int32_t image = 0;
    std::uint64_t param = 0;
    std::int32_t indent = 0;
    std::uint32_t tail = 0;
};
static_assert(sizeof(WideListItemRequest) == 56, "a 64-bit list reads a 56-byte request");
inline constexpr std::uint32_t kListItemTextOnly = 0x0001; // LVIF_TEXT

// The other programs' windows as the terminal reader sees and drives them.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Top-level windows in enumeration (z) order, at most `limit` of them.
    virtual std::vector<WindowHandle> TopLevelWindows(std::size_t limit) = 0;
    virtual std::string ClassName(WindowHandle window) = 0;
    virtual std::string Title(WindowHandle window) = 0;      // the window's caption
    virtual std::string WindowText(WindowHandle window) = 0; // asked by WM_GETTEXT
    // The child of `parent` after `after` (0: the first), in FindWindowEx order.
    virtual WindowHandle ChildAfter(WindowHandle parent, WindowHandle after) = 0;
    virtual WindowHandle FindTopLevel(const std::string& exactTitle) = 0;

    virtual bool IsWindow(WindowHandle window) = 0;
    virtual bool IsVisible(WindowHandle window) = 0;
    virtual void Show(WindowHandle window, bool visible) = 0; // normal show, or hide
    virtual void BringToForeground(WindowHandle window) = 0;

    virtual int ListItemCount(WindowHandle list) = 0;
    virtual int ListSelectionMark(WindowHandle list) = 0;
    // Sends the item-text request at `request` (inside the list's process) for `row`;
    // false when the list answers 0.
    virtual bool SendGetItemText(WindowHandle list, int row, RemoteAddress request) = 0;
    // A status bar of another process. Seams without one see a bar of no parts.
    virtual int StatusPartCount(WindowHandle bar) {
        static_cast<void>(bar);
        return 0;
    }
    // The part's text length in UTF-16 units; -1 when the bar does not answer or its owner
    // draws the part (there is no text to read).
    virtual int StatusTextLength(WindowHandle bar, int part) {
        static_cast<void>(bar), static_cast<void>(part);
        return -1;
    }
    // Sends the wide text request for the part with its buffer at `text`, inside the bar's
    // process; the buffer must hold the length above and a terminating zero.
    virtual bool SendGetStatusText(WindowHandle bar, int part, RemoteAddress text) {
        static_cast<void>(bar), static_cast<void>(part), static_cast<void>(text);
        return false;
    }
    virtual void SendKeyDown(WindowHandle window, DesktopKey key) = 0;
    virtual void PostKeyDown(WindowHandle window, DesktopKey key) = 0;
    virtual void SendClose(WindowHandle window) = 0;

    virtual std::uint32_t ProcessOf(WindowHandle window) = 0; // 0 when the window is gone
    virtual ProcessHandle OpenProcessMemory(std::uint32_t processId) = 0;
    virtual RemoteAddress AllocateMemory(ProcessHandle process, std::size_t size) = 0;
    // A process of 64-bit code, which reads the wide request; never so for a 32-bit build.
    virtual bool Is64BitProcess(ProcessHandle process) {
        static_cast<void>(process);
        return false;
    }
    virtual bool WriteMemory(ProcessHandle process, RemoteAddress address, const void* data,
                             std::size_t size) = 0;
    virtual bool ReadMemory(ProcessHandle process, RemoteAddress address, void* data,
                            std::size_t size) = 0;
    virtual void FreeMemory(ProcessHandle process, RemoteAddress address) = 0;
    virtual void CloseProcess(ProcessHandle process) = 0;

    // Starts the program at exactly this path, shown maximised.
    virtual bool StartProgram(const std::string& path) = 0;
    virtual void Wait(int milliseconds) = 0;
};

Desktop& CurrentDesktop();
void SetCurrentDesktop(Desktop* desktop); // nullptr restores the platform desktop
Desktop& PlatformDesktop();
