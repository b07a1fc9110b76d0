#pragma once
// Window message parameters, unpacked in one place. Win32 code only.
#include <windows.h>
#include <windowsx.h>

struct ScreenPoint {
    int x = 0, y = 0;
};

// Mouse messages: client coordinates, signed (a second monitor lies left of or above 0).
inline ScreenPoint PointFromLParam(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}
inline int CommandId(WPARAM wParam) {
    return LOWORD(wParam);
}
inline int CommandCode(WPARAM wParam) {
    return HIWORD(wParam);
}
inline int SizeWidth(LPARAM lParam) {
    return LOWORD(lParam);
}
inline int SizeHeight(LPARAM lParam) {
    return HIWORD(lParam);
}
inline const NMHDR& NotifyHeader(LPARAM lParam) {
    return *reinterpret_cast<const NMHDR*>(lParam);
}
template <class T> T& NotifyAs(LPARAM lParam) {
    return *reinterpret_cast<T*>(lParam);
}
inline UINT_PTR TimerId(WPARAM wParam) {
    return wParam;
}
inline int HotKeyId(WPARAM wParam) {
    return static_cast<int>(wParam);
}
// WM_ERASEBKGND and WM_CTLCOLOR*: the device context to draw with.
inline HDC DrawingContext(WPARAM wParam) {
    return reinterpret_cast<HDC>(wParam);
}
// WM_CTLCOLOR*: the control about to be drawn.
inline HWND ColouredControl(LPARAM lParam) {
    return reinterpret_cast<HWND>(lParam);
}
// WM_SETCURSOR: the window under the pointer.
inline HWND CursorWindow(WPARAM wParam) {
    return reinterpret_cast<HWND>(wParam);
}
// A tray icon's callback: the mouse message that happened over the icon.
inline UINT TrayMouseMessage(LPARAM lParam) {
    return static_cast<UINT>(lParam);
}
// A download's completion: the request number and the status.
inline int DownloadRequest(WPARAM wParam) {
    return static_cast<int>(wParam);
}
inline int DownloadStatus(LPARAM lParam) {
    return static_cast<int>(lParam);
}
// What a WM_CTLCOLOR* handler answers.
inline INT_PTR BrushResult(HBRUSH brush) {
    return reinterpret_cast<INT_PTR>(brush);
}
// WM_MOUSEWHEEL: the turn, positive away from the user.
inline int WheelDelta(WPARAM wParam) {
    return GET_WHEEL_DELTA_WPARAM(wParam);
}
