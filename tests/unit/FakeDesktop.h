#pragma once
#include "FakeFiles.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>

inline constexpr std::uint32_t kTerminalProcess = 4242;
using Rows = std::vector<std::vector<std::string>>; // symbol, bid, ask

// Window trees and process memories that behave, for the reader, like the system with
// terminals running: a list view answers an item-text request from its own process's memory.
class FakeDesktop final : public Desktop {
public:
    struct Window {
        WindowHandle parent = 0;
        std::string className, text;
        std::uint32_t process = kTerminalProcess;
        std::vector<WindowHandle> children;
        bool visible = true;
        Rows rows;
        int selectionMark = -1;
        bool selectionStuck = false;
        std::vector<std::string> statusParts; // a status bar's texts, UTF-8
    };
    std::map<WindowHandle, Window> windows;
    std::vector<WindowHandle> topLevel; // enumeration order

    WindowHandle AddTerminal(const std::string& title, std::uint32_t process = kTerminalProcess) {
        return AddTopLevel("MetaQuotes::MetaTrader::4.00", title, process);
    }
    WindowHandle AddTopLevel(const std::string& className, const std::string& title,
                             std::uint32_t process = kTerminalProcess) {
        topLevel.push_back(nextHandle += 4);
        return New(0, className, title, process);
    }
    WindowHandle AddChild(WindowHandle parent, const std::string& className,
                          const std::string& text = "") {
        windows[parent].children.push_back(nextHandle += 4);
        return New(parent, className, text, windows[parent].process);
    }
    WindowHandle AddList(WindowHandle parent, Rows rows) {
        const WindowHandle list = AddChild(parent, "SysListView32");
        windows[list].rows = std::move(rows);
        return list;
    }
    void Destroy(WindowHandle w) {
        if (!Find(w))
            return;
        for (const WindowHandle child : std::vector<WindowHandle>(windows[w].children))
            Destroy(child);
        auto& siblings = windows[w].parent ? windows[windows[w].parent].children : topLevel;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
        windows.erase(w);
    }

    // What the reader did.
    int enumerations = 0, waits = 0, waitedMs = 0;
    std::size_t lastLimit = 0;
    std::vector<std::string> started;
    bool startSucceeds = true;
    std::function<void()> onWait;
    std::vector<DesktopKey> sentKeys;
    std::vector<std::pair<WindowHandle, DesktopKey>> postedKeys;
    std::vector<WindowHandle> closed, foreground;
    std::set<std::uint32_t> deniedProcesses;
    int opens = 0, allocations = 0, frees = 0, closes = 0, memoryReads = 0, memoryWrites = 0;
    int itemTextMessages = 0;
    std::size_t OpenHandles() const { return openProcesses.size(); }
    std::size_t LiveBlocks() const { return blocks.size(); }

    std::vector<WindowHandle> TopLevelWindows(std::size_t limit) override {
        ++enumerations;
        lastLimit = limit;
        return {topLevel.begin(), topLevel.begin() + std::min(limit, topLevel.size())};
    }
    std::string ClassName(WindowHandle w) override { return Find(w) ? Find(w)->className : ""; }
    std::string Title(WindowHandle w) override { return Find(w) ? Find(w)->text : ""; }
    std::string WindowText(WindowHandle w) override { return Title(w); }
    WindowHandle ChildAfter(WindowHandle parent, WindowHandle after) override {
        if (!Find(parent))
            return 0;
        const auto& children = windows[parent].children;
        auto at = after ? std::find(children.begin(), children.end(), after) : children.begin();
        if (after && at != children.end())
            ++at;
        return at == children.end() ? 0 : *at;
    }
    WindowHandle FindTopLevel(const std::string& title) override {
        for (const WindowHandle w : topLevel)
            if (windows[w].text == title)
                return w;
        return 0;
    }
    bool IsWindow(WindowHandle w) override { return Find(w) != nullptr; }
    bool IsVisible(WindowHandle w) override { return Find(w) && Find(w)->visible; }
    void Show(WindowHandle w, bool visible) override {
        if (Find(w))
            windows[w].visible = visible;
    }
    void BringToForeground(WindowHandle w) override { foreground.push_back(w); }
    int ListItemCount(WindowHandle w) override { return Find(w) ? int(Find(w)->rows.size()) : 0; }
    int ListSelectionMark(WindowHandle w) override { return Find(w) ? Find(w)->selectionMark : -1; }

    bool SendGetItemText(WindowHandle list, int row, RemoteAddress at) override {
        ++itemTextMessages;
        Window* w = Find(list);
        ListItemRequest request;
        if (!w || !Access(w->process, at, sizeof request, &request, false))
            return false;
        if (!(request.mask & kListItemTextOnly) || request.textMax <= 0 || row < 0 ||
            row >= int(w->rows.size()) || request.subItem < 0 ||
            request.subItem >= int(w->rows[row].size()))
            return false;
        std::string cell = w->rows[row][request.subItem].substr(0, request.textMax - 1);
        return Access(w->process, request.text, cell.size() + 1, cell.data(), true) &&
               !cell.empty();
    }
    int StatusPartCount(WindowHandle bar) override {
        return Find(bar) ? int(Find(bar)->statusParts.size()) : 0;
    }
    int StatusTextLength(WindowHandle bar, int part) override {
        const Window* w = Find(bar);
        if (!w || part < 0 || part >= int(w->statusParts.size()))
            return -1;
        return int(Utf16(w->statusParts[part]).size());
    }
    // Writes the whole text and its zero, as the real bar does, whatever room there is.
    bool SendGetStatusText(WindowHandle bar, int part, RemoteAddress at) override {
        const Window* w = Find(bar);
        if (!w || part < 0 || part >= int(w->statusParts.size()))
            return false;
        std::u16string text = Utf16(w->statusParts[part]);
        return Access(w->process, at, (text.size() + 1) * 2, text.data(), true);
    }
    void SendKeyDown(WindowHandle w, DesktopKey key) override {
        sentKeys.push_back(key);
        if (!Find(w) || windows[w].selectionStuck || windows[w].rows.empty())
            return;
        int& mark = windows[w].selectionMark;
        const int last = int(windows[w].rows.size()) - 1;
        mark = key == DesktopKey::Down ? std::min(mark + 1, last) : std::max(mark - 1, 0);
    }
    void PostKeyDown(WindowHandle w, DesktopKey key) override { postedKeys.emplace_back(w, key); }
    void SendClose(WindowHandle w) override {
        closed.push_back(w);
        Destroy(w);
    }

    std::uint32_t ProcessOf(WindowHandle w) override { return Find(w) ? Find(w)->process : 0; }
    ProcessHandle OpenProcessMemory(std::uint32_t process) override {
        ++opens;
        if (deniedProcesses.count(process))
            return 0;
        openProcesses[++nextProcessHandle] = process;
        return nextProcessHandle;
    }
    RemoteAddress AllocateMemory(ProcessHandle process, std::size_t size) override {
        ++allocations;
        nextAddress += 0x10000;
        blocks[nextAddress] = {openProcesses.at(process), std::vector<char>(size, 'Z')};
        return nextAddress;
    }
    bool WriteMemory(ProcessHandle process, RemoteAddress at, const void* data,
                     std::size_t size) override {
        ++memoryWrites;
        return openProcesses.count(process) &&
               Access(openProcesses[process], at, size, const_cast<void*>(data), true);
    }
    bool ReadMemory(ProcessHandle process, RemoteAddress at, void* data,
                    std::size_t size) override {
        ++memoryReads;
        return openProcesses.count(process) &&
               Access(openProcesses[process], at, size, data, false);
    }
    void FreeMemory(ProcessHandle process, RemoteAddress at) override {
        ++frees;
        if (blocks.count(at) && blocks[at].first == openProcesses.at(process))
            blocks.erase(at);
    }
    void CloseProcess(ProcessHandle process) override {
        ++closes;
        openProcesses.erase(process);
    }
    bool StartProgram(const std::string& path) override {
        started.push_back(path);
        return startSucceeds;
    }
    void Wait(int milliseconds) override {
        ++waits;
        waitedMs += milliseconds;
        if (onWait)
            onWait();
    }

private:
    WindowHandle New(WindowHandle parent, const std::string& className, const std::string& text,
                     std::uint32_t process) {
        Window& window = windows[nextHandle];
        window.parent = parent;
        window.className = className;
        window.text = text;
        window.process = process;
        return nextHandle;
    }
    // Texts of the tests stay inside the basic plane.
    static std::u16string Utf16(const std::string& utf8) {
        std::u16string units;
        for (const wchar_t c : Widen(utf8))
            units += static_cast<char16_t>(c);
        return units;
    }
    Window* Find(WindowHandle w) {
        const auto at = windows.find(w);
        return at == windows.end() ? nullptr : &at->second;
    }
    // Copies to or from a process's memory; false outside its blocks.
    bool Access(std::uint32_t process, RemoteAddress at, std::size_t size, void* data, bool write) {
        for (auto& [start, block] : blocks) {
            if (block.first != process || at < start || at + size > start + block.second.size())
                continue;
            char* memory = block.second.data() + (at - start);
            write ? std::memcpy(memory, data, size) : std::memcpy(data, memory, size);
            return true;
        }
        return false;
    }

    WindowHandle nextHandle = 0x1000;
    ProcessHandle nextProcessHandle = 0x700;
    RemoteAddress nextAddress = 0x00A00000;
    std::map<ProcessHandle, std::uint32_t> openProcesses;
    std::map<RemoteAddress, std::pair<std::uint32_t, std::vector<char>>> blocks;
};

// Values of the current user, keyed "key|name".
class FakeRegistry final : public Registry {
public:
    std::map<std::string, std::string> values;

    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                          const std::string& name) override {
        const auto at = values.find(key + "|" + name);
        if (root != RegistryRoot::CurrentUser || at == values.end())
            return std::nullopt;
        return at->second;
    }
    bool WriteString(RegistryRoot, const std::string&, const std::string&,
                     const std::string&) override {
        return false;
    }
    bool DeleteValue(RegistryRoot, const std::string&, const std::string&) override {
        return false;
    }
};

// The reader's surroundings: settings and files in memory, a registry, recorded message
// boxes, and questions answered with `answerOk`.
class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFiles(&files);
        SetCurrentRegistry(&registry);
        SetMessageSink([this](const std::string& text, const std::string& caption) {
            boxes.push_back(caption + "|" + text);
        });
        SetQuestionSink([this](const std::string& text, const std::string& caption) {
            questions.push_back(caption + "|" + text);
            return answerOk;
        });
    }
    void TearDown() override {
        SetQuestionSink(nullptr);
        SetMessageSink(nullptr);
        SetCurrentRegistry(nullptr);
        SetFiles(nullptr);
    }

    FakeDesktop desk;
    FakeFiles files;
    FakeRegistry registry;
    std::vector<std::string> boxes, questions;
    bool answerOk = true;
};
