#include "platform/Text.h"
#include "tests/e2e/Harness.h"

namespace e2e {
namespace {
// A hung or busy program must not hang the test.
constexpr UINT kMessageTimeoutMilliseconds = 2000;
constexpr int kMessageBoxTextId = 0xFFFF;

struct Search {
    const WindowQuery* query;
    std::vector<HWND> found;
};

std::string TitleOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    title.resize(static_cast<std::size_t>(GetWindowTextW(window, title.data(), length + 1)));
    return Narrow(title);
}

bool Matches(HWND window, const WindowQuery& query) {
    if (query.visibleOnly && !IsWindowVisible(window))
        return false;
    if (query.processId != 0) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != query.processId)
            return false;
    }
    if (!query.className.empty() && ClassNameOf(window) != query.className)
        return false;
    return !query.title || TitleOf(window) == *query.title;
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    if (Matches(window, *search.query))
        search.found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindows(const WindowQuery& query) {
    Search search{&query, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(const WindowQuery& query, Milliseconds timeout) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> windows = TopLevelWindows(query);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        timeout);
    return found;
}

std::string ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return Narrow(std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0)));
}

std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                             kMessageTimeoutMilliseconds, &length))
        return "";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMilliseconds, &copied))
        return "";
    text.resize(copied);
    return Narrow(text);
}

std::vector<ChildWindow> ChildWindows(HWND parent) {
    std::vector<HWND> handles;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&handles));
    std::vector<ChildWindow> children;
    for (HWND handle : handles)
        children.push_back({handle, GetDlgCtrlID(handle), ClassNameOf(handle), WindowText(handle)});
    return children;
}

std::string MessageBoxText(HWND box) {
    for (const ChildWindow& child : ChildWindows(box))
        if (child.id == kMessageBoxTextId && EqualsNoCase(child.className, "Static"))
            return child.text;
    return "";
}

bool PressButton(HWND dialog, int buttonId) {
    HWND button = GetDlgItem(dialog, buttonId);
    if (!button || !EqualsNoCase(ClassNameOf(button), "Button"))
        return false;
    // Posted: the click may end the dialog's modal loop before a sent message returns.
    return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

} // namespace e2e
