#pragma once
// Window message parameters, unpacked in one place. Win32 code only.
#include <windows.h>
#include <windowsx.h>

struct ScreenPoint {
    int x = 0, y = 0;
};

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
