#include "controls/HyperLink.h"
#include "controls/UrlOpener.h"
#include "platform/AlertControls.h"
#include "platform/Dialog.h"
#include "platform/Text.h"
#include "platform/UrlRules.h"
#include <algorithm>
#include <commctrl.h>

namespace {
constexpr wchar_t kSelfProperty[] = L"PipWarden.HyperLink";
constexpr UINT kExclamation = MB_ICONEXCLAMATION;
} // namespace

CHyperLink::~CHyperLink() {
    if (control && IsWindow(control))
        Detach();
    if (tooltip && IsWindow(tooltip))
        DestroyWindow(tooltip);
    if (font)
        DeleteObject(font);
}

void CHyperLink::Attach(HWND staticControl, const std::string& link) {
    control = staticControl;
    if (!control)
        return;
    const RECT placed = PlaceInParent(control);
    widest = placed.right - placed.left;
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
    address = link.empty() ? ControlText(control) : link;
    if (ControlText(control).empty())
        SetControlText(control, address);
    LOGFONTW description{};
    HFONT current = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    GetObjectW(current ? current : GetStockObject(DEFAULT_GUI_FONT), sizeof description,
               &description);
    description.lfUnderline = underline ? TRUE : FALSE;
    font = CreateFontIndirectW(&description);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    AdjustSize();
    handCursor = LoadCursorW(nullptr, IDC_HAND);
    tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    SetAddress(address);
    SetPropW(control, kSelfProperty, this);
    previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CHyperLink::Proc)));
}

void CHyperLink::SetAddress(const std::string& link) {
    address = link;
    if (!control || !tooltip)
        return;
    AdjustSize();
    std::wstring text = Widen(address);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = control;
    tool.uId = 1;
    GetClientRect(control, &tool.rect);
    tool.lpszText = text.data();
    SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLink::AdjustSize() {
    if (!adjustToFit || !control)
        return;
    RECT place = PlaceInParent(control);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT text{0, 0, 0, 0};
    const std::wstring wide = Widen(ControlText(control));
    DrawTextW(dc, wide.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    // Never wider than the template made it: a long address keeps within its window and shows
    // its ellipsis.
    const int width = std::min<int>(text.right, widest), height = text.bottom;
    if (style & SS_CENTERIMAGE)
        place.top += ((place.bottom - place.top) - height) / 2;
    place.bottom = place.top + height;
    if ((style & SS_TYPEMASK) == SS_CENTER)
        place.left += ((place.right - place.left) - width) / 2;
    else if ((style & SS_TYPEMASK) == SS_RIGHT)
        place.left = place.right - width;
    place.right = place.left + width;
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::Detach() {
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
    RemovePropW(control, kSelfProperty);
}

LRESULT CALLBACK CHyperLink::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* link = static_cast<CHyperLink*>(GetPropW(window, kSelfProperty));
    if (!link)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC previous = link->previousProc;
        link->Detach();
        link->control = nullptr;
        return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    return link->Handle(message, wParam, lParam);
}

LRESULT CHyperLink::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        RelayToTooltip(message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_MOUSEMOVE:
        TrackPointer(lParam);
        break;
    case WM_SETCURSOR:
        if (handCursor) {
            SetCursor(handCursor);
            return TRUE;
        }
        break;
    case WM_LBUTTONUP:
        Open();
        return 0;
    default:
        break;
    }
    return CallWindowProcW(previousProc, control, message, wParam, lParam);
}

// The tooltip sees the pointer only through us: the tool is not subclassed by it.
void CHyperLink::RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tooltip)
        return;
    MSG relayed{};
    relayed.hwnd = control;
    relayed.message = message;
    relayed.wParam = wParam;
    relayed.lParam = lParam;
    relayed.time = static_cast<DWORD>(GetMessageTime());
    const DWORD at = GetMessagePos();
    relayed.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void CHyperLink::TrackPointer(LPARAM lParam) {
    if (!hovering) {
        hovering = true;
        InvalidateRect(control, nullptr, TRUE);
        SetCapture(control);
        return;
    }
    RECT client{};
    GetClientRect(control, &client);
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (!PtInRect(&client, at)) {
        hovering = false;
        ReleaseCapture();
        InvalidateRect(control, nullptr, TRUE);
    }
}

// The static's own ellipsis style, which our painting replaces.
UINT CHyperLink::EllipsisFormat() const {
    switch (GetWindowLongPtrW(control, GWL_STYLE) & SS_ELLIPSISMASK) {
    case SS_PATHELLIPSIS:
        return DT_PATH_ELLIPSIS;
    case SS_ENDELLIPSIS:
        return DT_END_ELLIPSIS;
    case SS_WORDELLIPSIS:
        return DT_WORD_ELLIPSIS;
    default:
        return 0;
    }
}

void CHyperLink::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(control, &paint);
    RECT client{};
    GetClientRect(control, &client);
    // The parent's own background for statics, so the link sits on the dialog's colour.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(control), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(control)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, hovering ? hoverColour : visited ? visitedColour : linkColour);
    HGDIOBJ previous = SelectObject(dc, font);
    const std::wstring text = Widen(ControlText(control));
    DrawTextW(dc, text.c_str(), -1, &client, DT_SINGLELINE | DT_NOPREFIX | EllipsisFormat());
    SelectObject(dc, previous);
    EndPaint(control, &paint);
}

void CHyperLink::Open() {
    if (hovering) {
        hovering = false;
        ReleaseCapture();
    }
    const int result = OpenUrl(address);
    if (result > 32) {
        visited = true;
        InvalidateRect(control, nullptr, TRUE);
        return;
    }
    MessageBeep(kExclamation);
    MessageBoxW(GetParent(control), Widen(HyperlinkFailureText(result)).c_str(), L"",
                MB_OK | kExclamation);
}
