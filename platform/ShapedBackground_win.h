#pragma once
// A popup's background picture, whose top-left colour is cut out of the window. Win32 only.
#include <windows.h>
#include <string>

class ShapedBackground {
public:
    ShapedBackground() = default;
    ~ShapedBackground() { Release(); }
    ShapedBackground(const ShapedBackground&) = delete;
    ShapedBackground& operator=(const ShapedBackground&) = delete;

    // Loads the bitmap resource and keys the window with its top-left colour; false when the
    // bitmap or its drawing surface cannot be made. A system without layered windows keeps
    // a rectangular popup.
    bool Apply(HWND window, int bitmapId);
    SIZE Size() const { return size; }
    bool Ready() const { return surface != nullptr; }
    // Answers WM_PAINT: the picture stretched over the whole client area.
    void PaintWindow(HWND window) const;
    void Release();

private:
    HBITMAP bitmap = nullptr;
    HDC surface = nullptr;
    HGDIOBJ previous = nullptr;
    SIZE size{};
};

// The local time of day, time only, in the user's locale format.
std::string LocaleTimeOfDay();
