#include "tests/e2e/AlertWindowsHarness.h"
#include "platform/Text.h"
#include "resources/notify_resource.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <vector>

namespace e2e {
namespace {
constexpr int kAlertsCommand = 32773;
constexpr int kAlertListId = 1161;
constexpr int kConditionBoxId = 1022;
constexpr std::size_t kBlockBytes = 4096;

// A block of the list's process memory for one request.
class RemoteBlock {
public:
    explicit RemoteBlock(HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        process =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, owner);
        if (process)
            block = VirtualAllocEx(process, nullptr, kBlockBytes, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (block)
            VirtualFreeEx(process, block, 0, MEM_RELEASE);
        if (process)
            CloseHandle(process);
    }
    char* Address() const { return static_cast<char*>(block); }
    bool Write(std::size_t offset, const void* data, std::size_t bytes) const {
        SIZE_T moved = 0;
        return block && WriteProcessMemory(process, Address() + offset, data, bytes, &moved);
    }
    bool Read(std::size_t offset, void* data, std::size_t bytes) const {
        SIZE_T moved = 0;
        return block && ReadProcessMemory(process, Address() + offset, data, bytes, &moved);
    }

private:
    HANDLE process = nullptr;
    void* block = nullptr;
};

HWND DialogWith(DWORD processId, int childId) {
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId}))
        if (GetDlgItem(window, childId))
            return window;
    return nullptr;
}
} // namespace

void AlertWindowsTest::SetUp() {
    simulator = Simulator::Start("/frozen");
    ASSERT_TRUE(simulator);
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.20000 1.20012"));
}

void AlertWindowsTest::StartProgram(const std::string& alerts, const std::string& extraSettings,
                                    const std::string& unixLocale) {
    // As the bar writes the pairs it takes from the terminal: no comma before the first.
    install.WriteSettings("[MAIN]\r\nDisplayCurrency=EURUSD,USDJPY,\r\n" + extraSettings);
    if (!alerts.empty())
        install.WriteAlerts(alerts);
    const std::string path = install.MainProgramPath();
    program = unixLocale.empty() ? Process::Start(path, "\"" + path + "\"")
                                 : Process::StartInLocale(path, unixLocale);
    ASSERT_TRUE(program);
    bar = WaitForBar(program.Id());
    ASSERT_NE(bar, nullptr) << "the price bar did not come up";
}

HWND AlertWindowsTest::OpenList() {
    PostMessageW(bar, WM_COMMAND, kAlertsCommand, 0);
    HWND list = nullptr;
    WaitUntil([&] { return (list = DialogWith(program.Id(), kAlertListId)) != nullptr; }, 10s);
    return list;
}

HWND AlertWindowsTest::OpenEditor(int button) {
    HWND list = DialogWith(program.Id(), kAlertListId);
    if (!list || !PressButton(list, button))
        return nullptr;
    HWND editor = nullptr;
    WaitUntil([&] { return (editor = DialogWith(program.Id(), kConditionBoxId)) != nullptr; }, 10s);
    return editor;
}

HWND AlertWindowsTest::WaitForMessageBox(Milliseconds timeout) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
                if (!MessageBoxText(window).empty())
                    return (box = window) != nullptr;
            return false;
        },
        timeout);
    return box;
}

std::string AlertWindowsTest::Answer(int button) {
    HWND box = WaitForMessageBox();
    if (!box)
        return "";
    const std::string text = MessageBoxText(box);
    // A box with only OK answers IDOK; its button is IDOK, or IDCANCEL on some systems.
    if (!PressButton(box, button))
        PressButton(box, button == IDOK ? IDCANCEL : IDOK);
    WaitUntil([&] { return !IsWindow(box); }, 5s);
    return text;
}

std::string AlertWindowsTest::AlertValue(const std::string& id, const std::string& key) {
    return IniValue(install.ReadAlerts(), id, key).value_or("<missing>");
}

void TypeText(HWND dialog, int id, const std::string& text) {
    HWND control = GetDlgItem(dialog, id);
    HWND edit = FindWindowExW(control, nullptr, L"Edit", nullptr); // inside a combo box
    SendMessageW(edit ? edit : control, WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void ChooseItem(HWND dialog, int id, int index) {
    HWND box = GetDlgItem(dialog, id);
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

void Click(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool IsEnabledItem(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool IsShownItem(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

int ListItemCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool SetListItemState(HWND list, int item, UINT state, UINT mask) {
    RemoteBlock block(list);
    LVITEMW request{};
    request.stateMask = mask;
    request.state = state;
    if (!block.Write(0, &request, sizeof request))
        return false;
    return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(block.Address())) != 0;
}

namespace {
// An item's text, asked for through a block of the window's process: the request, then room
// for the text behind it.
template <typename Request>
std::string RemoteItemText(HWND window, UINT message, int item, Request request) {
    RemoteBlock block(window);
    constexpr int kChars = 256;
    request.cchTextMax = kChars;
    request.pszText = reinterpret_cast<wchar_t*>(block.Address() + sizeof request);
    if (!block.Write(0, &request, sizeof request))
        return "";
    SendMessageW(window, message, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(block.Address()));
    std::vector<wchar_t> text(kChars + 1, L'\0');
    block.Read(sizeof request, text.data(), kChars * sizeof(wchar_t));
    return Narrow(text.data());
}
} // namespace

std::string ListItemText(HWND list, int item, int column) {
    LVITEMW request{};
    request.iSubItem = column;
    return RemoteItemText(list, LVM_GETITEMTEXTW, item, request);
}

std::string TabItemText(HWND tab, int item) {
    TCITEMW request{};
    request.mask = TCIF_TEXT;
    return RemoteItemText(tab, TCM_GETITEMW, item, request);
}

bool PopupShown(DWORD processId) {
    return DialogWith(processId, IDC_NOTIFY_SYMBOL) != nullptr;
}

HWND OptionsWindowOf(DWORD processId) {
    return DialogWith(processId, IDC_OPT_TAB);
}

// The pages sit on the tab control.
HWND OptionsPageWith(HWND options, int id) {
    HWND tab = GetDlgItem(options, IDC_OPT_TAB);
    for (HWND page = FindWindowExW(tab, nullptr, nullptr, nullptr); page;
         page = FindWindowExW(tab, page, nullptr, nullptr))
        if (GetDlgItem(page, id))
            return page;
    return nullptr;
}

} // namespace e2e
