#include "platform/Desktop.h"
#include <chrono>
#include <thread>

namespace {
// No other program's windows are reachable here: an empty desktop.
class EmptyDesktop final : public Desktop {
public:
    std::vector<WindowHandle> TopLevelWindows(std::size_t) override { return {}; }
    std::string ClassName(WindowHandle) override { return ""; }
    std::string Title(WindowHandle) override { return ""; }
    std::string WindowText(WindowHandle) override { return ""; }
    WindowHandle ChildAfter(WindowHandle, WindowHandle) override { return 0; }
    WindowHandle FindTopLevel(const std::string&) override { return 0; }
    bool IsWindow(WindowHandle) override { return false; }
    bool IsVisible(WindowHandle) override { return false; }
    void Show(WindowHandle, bool) override {}
    void BringToForeground(WindowHandle) override {}
    int ListItemCount(WindowHandle) override { return 0; }
    int ListSelectionMark(WindowHandle) override { return -1; }
    bool SendGetItemText(WindowHandle, int, RemoteAddress) override { return false; }
    void SendKeyDown(WindowHandle, DesktopKey) override {}
    void PostKeyDown(WindowHandle, DesktopKey) override {}
    void SendClose(WindowHandle) override {}
    std::uint32_t ProcessOf(WindowHandle) override { return 0; }
    ProcessHandle OpenProcessMemory(std::uint32_t) override { return 0; }
    RemoteAddress AllocateMemory(ProcessHandle, std::size_t) override { return 0; }
    bool WriteMemory(ProcessHandle, RemoteAddress, const void*, std::size_t) override {
        return false;
    }
    bool ReadMemory(ProcessHandle, RemoteAddress, void*, std::size_t) override { return false; }
    void FreeMemory(ProcessHandle, RemoteAddress) override {}
    void CloseProcess(ProcessHandle) override {}
    bool StartProgram(const std::string&) override { return false; }
    void Wait(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};
} // namespace

Desktop& PlatformDesktop() {
    static EmptyDesktop desktop;
    return desktop;
}
