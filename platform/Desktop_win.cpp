#include <windows.h>
#include "platform/Desktop.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include <cstddef>

#include <commctrl.h> // after <windows.h>

#ifndef _WIN64
// Built 32-bit, the system's own request has the layout the terminal reads.
static_assert(offsetof(LVITEMA, iSubItem) == offsetof(ListItemRequest, subItem));
static_assert(offsetof(LVITEMA, pszText) == offsetof(ListItemRequest, text));
static_assert(offsetof(LVITEMA, cchTextMax) == offsetof(ListItemRequest, textMax));
static_assert(offsetof(LVITEMA, iIndent) + sizeof(int) == sizeof(ListItemRequest));
#endif
static_assert(kListItemTextOnly == LVIF_TEXT);

namespace {
// Messages to the terminal wait at most this long, so a hung terminal cannot freeze us.
constexpr UINT kMessageTimeoutMs = 2000;
constexpr int kTextChars = 256;
constexpr int kClassChars = 260;
constexpr LPARAM kSingleKeyPress = 1; // repeat count 1

HWND Hwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
WindowHandle Handle(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}
HANDLE ProcessHandleOf(ProcessHandle process) {
    return reinterpret_cast<HANDLE>(process);
}

// False when the window is gone, hung or did not answer in time. A thread that has just
// left a message unanswered is not waited on again within the wait's length: a tick that
// asks a hung terminal's list and then its status bar waits once, not twice.
bool SendWithTimeout(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam,
                     DWORD_PTR& answer) {
    thread_local DWORD unansweredThread = 0;
    thread_local DWORD unansweredAt = 0;
    answer = 0;
    // The window's thread is asked for only after a miss: a healthy tick pays nothing extra.
    if (unansweredThread != 0 && GetTickCount() - unansweredAt < kMessageTimeoutMs &&
        GetWindowThreadProcessId(Hwnd(window), nullptr) == unansweredThread)
        return false;
    if (SendMessageTimeoutW(Hwnd(window), message, wParam, lParam, SMTO_ABORTIFHUNG,
                            kMessageTimeoutMs, &answer) != 0)
        return true;
    if (IsWindow(Hwnd(window))) {
        unansweredThread = GetWindowThreadProcessId(Hwnd(window), nullptr);
        unansweredAt = GetTickCount();
    }
    return false;
}

WPARAM VirtualKey(DesktopKey key) {
    switch (key) {
    case DesktopKey::Up:
        return VK_UP;
    case DesktopKey::Down:
        return VK_DOWN;
    case DesktopKey::Enter:
        break;
    }
    return VK_RETURN;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* state = reinterpret_cast<std::pair<std::vector<WindowHandle>*, std::size_t>*>(context);
    state->first->push_back(Handle(window));
    return state->first->size() < state->second ? TRUE : FALSE;
}

class WinDesktop final : public Desktop {
public:
    std::vector<WindowHandle> TopLevelWindows(std::size_t limit) override {
        std::vector<WindowHandle> windows;
        if (limit == 0)
            return windows;
        std::pair<std::vector<WindowHandle>*, std::size_t> state{&windows, limit};
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
        return windows;
    }

    std::string ClassName(WindowHandle window) override {
        wchar_t name[kClassChars] = {};
        const int n = GetClassNameW(Hwnd(window), name, kClassChars);
        return n > 0 ? Narrow(std::wstring(name, static_cast<std::size_t>(n))) : "";
    }

    // GetWindowText reads another process's caption without sending it a message.
    std::string Title(WindowHandle window) override {
        wchar_t title[kTextChars] = {};
        const int n = GetWindowTextW(Hwnd(window), title, kTextChars);
        return n > 0 ? Narrow(std::wstring(title, static_cast<std::size_t>(n))) : "";
    }

    std::string WindowText(WindowHandle window) override {
        wchar_t text[kTextChars] = {};
        DWORD_PTR length = 0;
        if (!SendWithTimeout(window, WM_GETTEXT, kTextChars, reinterpret_cast<LPARAM>(text),
                             length))
            return "";
        text[kTextChars - 1] = L'\0';
        return Narrow(text);
    }

    WindowHandle ChildAfter(WindowHandle parent, WindowHandle after) override {
        return Handle(FindWindowExW(Hwnd(parent), Hwnd(after), nullptr, nullptr));
    }

    WindowHandle FindTopLevel(const std::string& exactTitle) override {
        return Handle(FindWindowW(nullptr, Widen(exactTitle).c_str()));
    }

    bool IsWindow(WindowHandle window) override { return window && ::IsWindow(Hwnd(window)); }
    bool IsVisible(WindowHandle window) override { return ::IsWindowVisible(Hwnd(window)) != 0; }

    void Show(WindowHandle window, bool visible) override {
        ::ShowWindow(Hwnd(window), visible ? SW_SHOWNORMAL : SW_HIDE);
    }

    void BringToForeground(WindowHandle window) override { ::SetForegroundWindow(Hwnd(window)); }

    int ListItemCount(WindowHandle list) override {
        DWORD_PTR count = 0;
        if (!SendWithTimeout(list, LVM_GETITEMCOUNT, 0, 0, count))
            return 0;
        return static_cast<int>(count);
    }

    int ListSelectionMark(WindowHandle list) override {
        DWORD_PTR mark = 0;
        if (!SendWithTimeout(list, LVM_GETSELECTIONMARK, 0, 0, mark))
            return -1;
        return static_cast<int>(static_cast<LONG_PTR>(mark));
    }

    // The terminal is an ANSI program: the A request with the 40-byte layout.
    bool SendGetItemText(WindowHandle list, int row, RemoteAddress request) override {
        DWORD_PTR length = 0;
        return SendWithTimeout(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                               static_cast<LPARAM>(request), length) &&
               length != 0;
    }

    // Without a parts array the bar only answers how many parts it has.
    int StatusPartCount(WindowHandle bar) override {
        DWORD_PTR parts = 0;
        if (!SendWithTimeout(bar, SB_GETPARTS, 0, 0, parts))
            return 0;
        return static_cast<int>(parts);
    }

    int StatusTextLength(WindowHandle bar, int part) override {
        DWORD_PTR answer = 0;
        if (!SendWithTimeout(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0, answer) ||
            (HIWORD(answer) & SBT_OWNERDRAW))
            return -1;
        return LOWORD(answer);
    }

    bool SendGetStatusText(WindowHandle bar, int part, RemoteAddress text) override {
        DWORD_PTR answer = 0;
        return SendWithTimeout(bar, SB_GETTEXTW, static_cast<WPARAM>(part),
                               static_cast<LPARAM>(text), answer);
    }

    void SendKeyDown(WindowHandle window, DesktopKey key) override {
        DWORD_PTR ignored = 0;
        SendWithTimeout(window, WM_KEYDOWN, VirtualKey(key), kSingleKeyPress, ignored);
    }

    void PostKeyDown(WindowHandle window, DesktopKey key) override {
        PostMessageW(Hwnd(window), WM_KEYDOWN, VirtualKey(key), kSingleKeyPress);
    }

    void SendClose(WindowHandle window) override {
        DWORD_PTR ignored = 0;
        SendWithTimeout(window, WM_CLOSE, 0, 0, ignored);
    }

    std::uint32_t ProcessOf(WindowHandle window) override {
        DWORD processId = 0;
        if (!GetWindowThreadProcessId(Hwnd(window), &processId))
            return 0;
        return processId;
    }

    ProcessHandle OpenProcessMemory(std::uint32_t processId) override {
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                         PROCESS_QUERY_LIMITED_INFORMATION,
                                     FALSE, processId);
        return reinterpret_cast<ProcessHandle>(process);
    }

    RemoteAddress AllocateMemory(ProcessHandle process, std::size_t size) override {
        void* block = VirtualAllocEx(ProcessHandleOf(process), nullptr, size,
                                     MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        return reinterpret_cast<RemoteAddress>(block);
    }

    bool Is64BitProcess(ProcessHandle process) override {
        if constexpr (sizeof(void*) == 4) {
            return false;
        } else {
            BOOL emulated = FALSE;
            return IsWow64Process(ProcessHandleOf(process), &emulated) && !emulated;
        }
    }

    bool WriteMemory(ProcessHandle process, RemoteAddress address, const void* data,
                     std::size_t size) override {
        SIZE_T written = 0;
        return WriteProcessMemory(ProcessHandleOf(process), reinterpret_cast<void*>(address), data,
                                  size, &written) &&
               written == size;
    }

    bool ReadMemory(ProcessHandle process, RemoteAddress address, void* data,
                    std::size_t size) override {
        SIZE_T read = 0;
        return ReadProcessMemory(ProcessHandleOf(process), reinterpret_cast<const void*>(address),
                                 data, size, &read) &&
               read == size;
    }

    void FreeMemory(ProcessHandle process, RemoteAddress address) override {
        VirtualFreeEx(ProcessHandleOf(process), reinterpret_cast<void*>(address), 0, MEM_RELEASE);
    }

    void CloseProcess(ProcessHandle process) override { CloseHandle(ProcessHandleOf(process)); }

    // The command line is the path itself, as the terminal always received it.
    bool StartProgram(const std::string& path) override {
        return ::StartProgram(path, path, StartWindow::Maximized);
    }

    void Wait(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
};
} // namespace

Desktop& PlatformDesktop() {
    static WinDesktop desktop;
    return desktop;
}
