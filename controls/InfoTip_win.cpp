#include "controls/InfoTip.h"
#include "platform/Text.h"
#include <commctrl.h>

namespace {
constexpr wchar_t kClassName[] = L"PipWardenInfoTip";
constexpr wchar_t kTipProperty[] = L"PipWarden.InfoTip";
constexpr wchar_t kProcProperty[] = L"PipWarden.InfoTipProc";
constexpr UINT kHideCheckMs = 500;
constexpr int kCornerWidth = 12, kCornerHeight = 10;
constexpr int kPointerHeight = 25;
constexpr int kIconGap = 5;
constexpr int kOuterFrame = 3;

bool RegisterTipClass() {
    WNDCLASSW windowClass{};
    if (GetClassInfoW(GetModuleHandleW(nullptr), kClassName, &windowClass))
        return true;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass) != 0;
}
} // namespace

CXInfoTip::~CXInfoTip() {
    for (const auto& [control, tip] : tips)
        if (IsWindow(control))
            Unhook(control);
    if (window && IsWindow(window))
        DestroyWindow(window);
}

bool CXInfoTip::Create(HWND owner) {
    if (!RegisterTipClass())
        return false;
    window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0,
                             0, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return false;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CXInfoTip::WindowProc));
    font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return true;
}

void CXInfoTip::AddTool(HWND control, const std::string& tipText, HICON tipIcon) {
    tips[control] = {tipText, tipIcon};
    // The tool's own mouse messages are relayed from here: a clickable static keeps them.
    if (GetPropW(control, kTipProperty))
        return;
    SetPropW(control, kTipProperty, this);
    SetPropW(control, kProcProperty,
             reinterpret_cast<HANDLE>(SetWindowLongPtrW(
                 control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CXInfoTip::ToolProc))));
}

void CXInfoTip::Unhook(HWND control) {
    if (auto previous = reinterpret_cast<LONG_PTR>(GetPropW(control, kProcProperty)))
        SetWindowLongPtrW(control, GWLP_WNDPROC, previous);
    RemovePropW(control, kTipProperty);
    RemovePropW(control, kProcProperty);
}

LRESULT CALLBACK CXInfoTip::ToolProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tip = static_cast<CXInfoTip*>(GetPropW(control, kTipProperty));
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(control, kProcProperty));
    if (!previous)
        return DefWindowProcW(control, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        tip->tips.erase(control);
        Unhook(control);
    } else if (tip) {
        tip->RelayEvent(control, message, lParam);
    }
    return CallWindowProcW(previous, control, message, wParam, lParam);
}

void CXInfoTip::RelayEvent(HWND control, UINT message, LPARAM) {
    if (!window)
        return;
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
        Hide();
        return;
    }
    if (message != WM_MOUSEMOVE)
        return;
    POINT at{};
    GetCursorPos(&at);
    if (at.x == shownAt.x && at.y == shownAt.y)
        return;
    const auto found = tips.find(control);
    if (found == tips.end())
        return;
    shownAt = at;
    icon = found->second.icon;
    iconSize = {};
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
        iconSize = {static_cast<LONG>(info.xHotspot) * 2, static_cast<LONG>(info.yHotspot) * 2};
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    text = Widen(found->second.text);
    SetTimer(window, kInfoTipShowTimer, showDelay, nullptr);
}

void CXInfoTip::Show() {
    KillTimer(window, kInfoTipShowTimer);
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT textRect{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &textRect, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    const int marginV = balloon ? marginY : 6;
    int width = textRect.right + 2 * marginX + (icon ? iconSize.cx + kIconGap : 0);
    int height = textRect.bottom + 2 * marginV;
    if (icon && height < iconSize.cy)
        height = iconSize.cy;
    const int below = balloon && pointer ? kPointerHeight : 0;
    HRGN body =
        balloon ? CreateRoundRectRgn(0, below, width, below + height, kCornerWidth, kCornerHeight)
                : CreateRectRgn(0, 0, width, height);
    if (balloon && pointer) {
        const POINT corner[] = {{kPointerHeight / 2, 0},
                                {kPointerHeight / 2, below + 1},
                                {kPointerHeight + kPointerHeight / 2, below + 1}};
        HRGN arrow = CreatePolygonRgn(corner, 3, ALTERNATE);
        CombineRgn(body, body, arrow, RGN_OR);
        DeleteObject(arrow);
    }
    if (shape)
        DeleteObject(shape);
    shape = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(shape, body, nullptr, RGN_COPY);
    SetWindowRgn(window, body, FALSE); // the window owns this copy now
    SetWindowPos(window, HWND_TOPMOST, shownAt.x - kPointerHeight / 2, shownAt.y + 2, width,
                 below + height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window, nullptr, TRUE);
    SetTimer(window, kInfoTipHideTimer, kHideCheckMs, nullptr);
}

void CXInfoTip::Hide() {
    KillTimer(window, kInfoTipShowTimer);
    KillTimer(window, kInfoTipHideTimer);
    ShowWindow(window, SW_HIDE);
}

void CXInfoTip::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (shape) {
        FillRgn(dc, shape, GetSysColorBrush(COLOR_WINDOW));
        FrameRgn(dc, shape, GetSysColorBrush(COLOR_SCROLLBAR), kOuterFrame, kOuterFrame);
        FrameRgn(dc, shape, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
    }
    const int top = (balloon && pointer ? kPointerHeight : 0) + (balloon ? marginY : 6);
    if (icon)
        DrawIconEx(dc, marginX, top, icon, iconSize.cx, iconSize.cy, 0, nullptr, DI_NORMAL);
    RECT textRect{};
    GetClientRect(window, &textRect);
    textRect.left = marginX + (icon ? iconSize.cx + kIconGap : 0);
    textRect.top = top;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    HGDIOBJ previous = SelectObject(dc, font);
    DrawTextW(dc, text.c_str(), -1, &textRect, DT_NOPREFIX);
    SelectObject(dc, previous);
    EndPaint(window, &paint);
}

LRESULT CALLBACK CXInfoTip::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tip = reinterpret_cast<CXInfoTip*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!tip)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_TIMER:
        if (wParam == kInfoTipShowTimer) {
            tip->Show();
        } else if (wParam == kInfoTipHideTimer) {
            POINT at{};
            GetCursorPos(&at);
            if (at.x != tip->shownAt.x || at.y != tip->shownAt.y) {
                tip->Hide();
                tip->shownAt = {-1, -1};
            }
        }
        return 0;
    case WM_PAINT:
        tip->Paint();
        return 0;
    case WM_NCDESTROY:
        if (tip->shape)
            DeleteObject(tip->shape);
        tip->shape = nullptr;
        tip->window = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
