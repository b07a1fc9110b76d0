#include "platform/ShapedBackground_win.h"
#include "platform/Clock_win.h"
#include "platform/Text.h"

namespace {
constexpr BYTE kOpaque = 255;
constexpr int kTimeBufferLength = 64;
using SetLayeredAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
} // namespace

bool ShapedBackground::Apply(HWND window, int bitmapId) {
    Release();
    bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        return false;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    size = {info.bmWidth, info.bmHeight};
    HDC windowDc = GetDC(window);
    surface = CreateCompatibleDC(windowDc);
    ReleaseDC(window, windowDc);
    if (!surface)
        return false;
    previous = SelectObject(surface, bitmap);
    const COLORREF key = GetPixel(surface, 0, 0);
    // Looked up at run time: a system without it keeps a rectangular popup.
    auto setAttributes = reinterpret_cast<SetLayeredAttributes>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes")));
    if (setAttributes) {
        SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
        setAttributes(window, key, kOpaque, LWA_COLORKEY);
    }
    return true;
}

void ShapedBackground::PaintWindow(HWND window) const {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (surface) {
        RECT client{};
        GetClientRect(window, &client);
        // Colour on colour keeps the key pixels exact, so the corners stay cut out.
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, client.right, client.bottom, surface, 0, 0, size.cx, size.cy, SRCCOPY);
    }
    EndPaint(window, &paint);
}

void ShapedBackground::Release() {
    if (surface) {
        SelectObject(surface, previous);
        DeleteDC(surface);
        surface = nullptr;
    }
    if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

std::string LocaleTimeOfDay() {
    const SYSTEMTIME time = ToSystemTime(CurrentClock().Now());
    wchar_t text[kTimeBufferLength] = {};
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, kTimeBufferLength))
        return {};
    return Narrow(text);
}
