// The smallest Win32 program that shows a list view: the floor that scripts/bench.sh sets the
// main program's idle time and memory against, so that what Wine itself costs a window is
// not counted as ours. It does nothing once its window is up.
#include <windows.h>

#include <commctrl.h>

namespace {
constexpr int kWidth = 600;
constexpr int kHeight = 60;
constexpr int kListId = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"PipWardenBareWindow";
    if (!RegisterClassW(&windowClass))
        return 1;
    const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, windowClass.lpszClassName,
                                        L"Bare window", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0,
                                        kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    const HWND list = CreateWindowExW(
        0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOSORTHEADER, 0, 0, kWidth,
        kHeight, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = kWidth;
    column.pszText = const_cast<wchar_t*>(L"EURUSD");
    ListView_InsertColumn(list, 0, &column);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"1.0851");
    ListView_InsertItem(list, &item);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
