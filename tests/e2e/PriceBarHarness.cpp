#include "tests/e2e/PriceBarHarness.h"
#include "platform/Text.h"
#include "settings/Log.h"
#include <commctrl.h>
#include <thread>

namespace e2e {
namespace {
constexpr int kQuoteListId = 1007;
constexpr WPARAM kExitCommand = 32772;
constexpr Milliseconds kExitTimeout = 5s;
constexpr UINT kAnswerTimeoutMs = 2000;
constexpr std::size_t kTextChars = 64;
constexpr std::size_t kBlockBytes = 512; // the largest request and its text buffer
constexpr Milliseconds kMouseStepPause = 60ms;
constexpr int kDragSteps = 4;

void MouseButton(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
    std::this_thread::sleep_for(kMouseStepPause);
}

void MouseTo(POINT at) {
    SetCursorPos(at.x, at.y);
    // A relative move of nothing makes the system post the move at the new place.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    std::this_thread::sleep_for(kMouseStepPause);
}
} // namespace

Placement MainProgramWithLog() {
    return {"Pipwarden.exe", "file\\Pipwarden_log.exe"};
}

std::string WaitForLoggedMenu(const std::string& programPath, const std::string& menuName) {
    const std::string marker = "Program menu (" + menuName + "): ";
    std::string line;
    WaitUntil(
        [&] {
            const std::string log = ReadTextFile(LogFilePath(programPath));
            const std::size_t start = log.rfind(marker);
            if (start == std::string::npos)
                return false;
            line = log.substr(start + marker.size());
            line = line.substr(0, line.find_first_of("\r\n"));
            return true;
        },
        kStartTimeout);
    return line;
}

HWND WaitForBar(DWORD processId, Milliseconds timeout) {
    return WaitForWindow({"#32770", std::string(kBarTitle), processId}, timeout);
}

void CloseMainProgram(Process& program, HWND bar) {
    if (!program.IsRunning())
        return;
    // A clean exit takes the tray icon and the hot keys along.
    if (bar && IsWindow(bar))
        PostMessageW(bar, WM_COMMAND, kExitCommand, 0);
    if (!program.WaitForExit(kExitTimeout))
        program.End();
}

RemoteQuoteList::RemoteQuoteList(HWND bar) : list(GetDlgItem(bar, kQuoteListId)) {
    DWORD owner = 0;
    if (!list || !GetWindowThreadProcessId(list, &owner))
        return;
    process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, owner);
    if (process)
        block = VirtualAllocEx(process, nullptr, kBlockBytes, MEM_COMMIT, PAGE_READWRITE);
}

RemoteQuoteList::~RemoteQuoteList() {
    if (block)
        VirtualFreeEx(process, block, 0, MEM_RELEASE);
    if (process)
        CloseHandle(process);
}

// Copies the request in, sends the message with the block's address, copies the block out.
bool RemoteQuoteList::Send(UINT message, WPARAM wParam, std::size_t bytes, const void* in,
                           void* out) {
    if (!block || bytes > kBlockBytes)
        return false;
    SIZE_T moved = 0;
    if (!WriteProcessMemory(process, block, in, bytes, &moved) || moved != bytes)
        return false;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(list, message, wParam, reinterpret_cast<LPARAM>(block),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer) ||
        !answer)
        return false;
    return ReadProcessMemory(process, block, out, bytes, &moved) && moved == bytes;
}

int RemoteQuoteList::ColumnCount() const {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::vector<std::string> RemoteQuoteList::ColumnTitles() {
    struct Request {
        LVCOLUMNW column;
        wchar_t text[kTextChars];
    };
    std::vector<std::string> titles;
    for (int index = 0; index < ColumnCount(); ++index) {
        Request request{};
        request.column.mask = LVCF_TEXT;
        request.column.pszText = reinterpret_cast<Request*>(block)->text; // in the bar's process
        request.column.cchTextMax = static_cast<int>(kTextChars);
        Request answer{};
        if (!Send(LVM_GETCOLUMNW, static_cast<WPARAM>(index), sizeof request, &request, &answer))
            answer.text[0] = L'\0';
        answer.text[kTextChars - 1] = L'\0';
        titles.push_back(Narrow(answer.text));
    }
    return titles;
}

int RemoteQuoteList::ColumnWidth(int column) const {
    return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

std::string RemoteQuoteList::Cell(int column) {
    struct Request {
        LVITEMW item;
        wchar_t text[kTextChars];
    };
    Request request{};
    request.item.iSubItem = column;
    request.item.pszText = reinterpret_cast<Request*>(block)->text;
    request.item.cchTextMax = static_cast<int>(kTextChars);
    Request answer{};
    if (!block)
        return "";
    // LVM_GETITEMTEXT answers the text's length, which is 0 for an empty cell.
    SIZE_T moved = 0;
    if (!WriteProcessMemory(process, block, &request, sizeof request, &moved))
        return "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(block),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &length) ||
        !ReadProcessMemory(process, block, &answer, sizeof answer, &moved))
        return "";
    answer.text[kTextChars - 1] = L'\0';
    return Narrow(answer.text);
}

std::optional<RECT> RemoteQuoteList::CellOnScreen(int column) {
    RECT rect{};
    rect.top = column;
    rect.left = LVIR_LABEL;
    RECT answer{};
    if (!Send(LVM_GETSUBITEMRECT, 0, sizeof rect, &rect, &answer))
        return std::nullopt;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&answer), 2);
    return answer;
}

std::optional<POINT> RemoteQuoteList::DividerOnScreen(int column) {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT headerRect{};
    if (!header || !GetWindowRect(header, &headerRect))
        return std::nullopt;
    int right = 0;
    for (int index = 0; index <= column; ++index)
        right += ColumnWidth(index);
    POINT divider{right, 0};
    MapWindowPoints(list, nullptr, &divider, 1);
    divider.y = (headerRect.top + headerRect.bottom) / 2;
    return divider;
}

int CountScreenPixels(const RECT& area, COLORREF colour) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return 0;
    // One copy of the screen area, not a round trip per pixel.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP copy = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    int count = 0;
    if (memory && copy && bits) {
        HGDIOBJ old = SelectObject(memory, copy);
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        // A 32-bit DIB holds blue, green, red, unused.
        const DWORD wanted =
            (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        const DWORD* pixel = static_cast<const DWORD*>(bits);
        for (int i = 0; i < width * height; ++i)
            if ((pixel[i] & 0x00FFFFFF) == wanted)
                ++count;
        SelectObject(memory, old);
    }
    if (copy)
        DeleteObject(copy);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return count;
}

void MouseDrag(POINT from, POINT to) {
    MouseTo(from);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= kDragSteps; ++step)
        MouseTo({from.x + (to.x - from.x) * step / kDragSteps,
                 from.y + (to.y - from.y) * step / kDragSteps});
    MouseButton(MOUSEEVENTF_LEFTUP);
}

void MouseRightClick(POINT at) {
    MouseTo(at);
    MouseButton(MOUSEEVENTF_RIGHTDOWN);
    MouseButton(MOUSEEVENTF_RIGHTUP);
}

void MouseMove(POINT to) {
    MouseTo(to);
}

void MouseLeftClick(POINT at) {
    MouseTo(at);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool HeldHotKeys::Hold(UINT modifiers, UINT key) {
    const int id = static_cast<int>(ids.size()) + 1;
    if (!RegisterHotKey(nullptr, id, modifiers, key))
        return false;
    ids.push_back(id);
    return true;
}

HeldHotKeys::~HeldHotKeys() {
    for (int id : ids)
        UnregisterHotKey(nullptr, id);
}

} // namespace e2e
