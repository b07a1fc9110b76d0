#pragma once
// The platform desktop with every call that crosses into another process counted and timed,
// for the reader's figures.
#include <windows.h>

#include "platform/Desktop.h"
#include <string>
#include <vector>

inline double Microseconds(LONGLONG ticks) {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(ticks) * 1e6 / frequency;
}

inline LONGLONG Now() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Calls into the terminal's process, counted and timed by kind.
struct Tally {
    int itemTexts = 0;  // LVM_GETITEMTEXT: one per cell read
    int itemCounts = 0; // LVM_GETITEMCOUNT
    int otherMessages = 0;
    int writes = 0;
    int reads = 0;
    int opens = 0;
    LONGLONG itemTextTicks = 0, writeTicks = 0, readTicks = 0;

    int Messages() const { return itemTexts + itemCounts + otherMessages; }
};

// The platform desktop, with every call that crosses into another process counted.
class CountingDesktop final : public Desktop {
public:
    explicit CountingDesktop(Desktop& real) : real(real) {}
    Tally tally;

    std::vector<WindowHandle> TopLevelWindows(std::size_t limit) override {
        return real.TopLevelWindows(limit);
    }
    std::string ClassName(WindowHandle w) override { return real.ClassName(w); }
    std::string Title(WindowHandle w) override { return real.Title(w); }
    std::string WindowText(WindowHandle w) override {
        ++tally.otherMessages;
        return real.WindowText(w);
    }
    WindowHandle ChildAfter(WindowHandle p, WindowHandle a) override {
        return real.ChildAfter(p, a);
    }
    WindowHandle FindTopLevel(const std::string& t) override { return real.FindTopLevel(t); }
    bool IsWindow(WindowHandle w) override { return real.IsWindow(w); }
    bool IsVisible(WindowHandle w) override { return real.IsVisible(w); }
    void Show(WindowHandle w, bool v) override { real.Show(w, v); }
    void BringToForeground(WindowHandle w) override { real.BringToForeground(w); }
    int ListItemCount(WindowHandle list) override {
        ++tally.itemCounts;
        return real.ListItemCount(list);
    }
    int ListSelectionMark(WindowHandle list) override {
        ++tally.otherMessages;
        return real.ListSelectionMark(list);
    }
    bool SendGetItemText(WindowHandle list, int row, RemoteAddress request) override {
        ++tally.itemTexts;
        const LONGLONG start = Now();
        const bool answered = real.SendGetItemText(list, row, request);
        tally.itemTextTicks += Now() - start;
        return answered;
    }
    void SendKeyDown(WindowHandle w, DesktopKey k) override {
        ++tally.otherMessages;
        real.SendKeyDown(w, k);
    }
    void PostKeyDown(WindowHandle w, DesktopKey k) override { real.PostKeyDown(w, k); }
    void SendClose(WindowHandle w) override {
        ++tally.otherMessages;
        real.SendClose(w);
    }
    std::uint32_t ProcessOf(WindowHandle w) override { return real.ProcessOf(w); }
    ProcessHandle OpenProcessMemory(std::uint32_t id) override {
        ++tally.opens;
        return real.OpenProcessMemory(id);
    }
    RemoteAddress AllocateMemory(ProcessHandle p, std::size_t size) override {
        return real.AllocateMemory(p, size);
    }
    // Every call the seam answers by default is passed on too: the reader's choice of the
    // request layout, above all, must be the real one.
    bool Is64BitProcess(ProcessHandle p) override { return real.Is64BitProcess(p); }
    int StatusPartCount(WindowHandle bar) override {
        ++tally.otherMessages;
        return real.StatusPartCount(bar);
    }
    int StatusTextLength(WindowHandle bar, int part) override {
        ++tally.otherMessages;
        return real.StatusTextLength(bar, part);
    }
    bool SendGetStatusText(WindowHandle bar, int part, RemoteAddress text) override {
        ++tally.otherMessages;
        return real.SendGetStatusText(bar, part, text);
    }
    bool WriteMemory(ProcessHandle p, RemoteAddress a, const void* data,
                     std::size_t size) override {
        ++tally.writes;
        const LONGLONG start = Now();
        const bool done = real.WriteMemory(p, a, data, size);
        tally.writeTicks += Now() - start;
        return done;
    }
    bool ReadMemory(ProcessHandle p, RemoteAddress a, void* data, std::size_t size) override {
        ++tally.reads;
        const LONGLONG start = Now();
        const bool done = real.ReadMemory(p, a, data, size);
        tally.readTicks += Now() - start;
        return done;
    }
    void FreeMemory(ProcessHandle p, RemoteAddress a) override { real.FreeMemory(p, a); }
    void CloseProcess(ProcessHandle p) override { real.CloseProcess(p); }
    bool StartProgram(const std::string& path) override { return real.StartProgram(path); }
    void Wait(int ms) override { real.Wait(ms); }

private:
    Desktop& real;
};
