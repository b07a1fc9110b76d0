#include <windows.h>
#include "platform/Dpi_win.h"

// The system's resolution, fixed for the session: the windows lay out once, at start.
int ScreenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
        if (screen)
            ReleaseDC(nullptr, screen);
        return value > 0 ? value : kBaseDpi;
    }();
    return dpi;
}

int ScaleForDpi(int pixels) {
    return MulDiv(pixels, ScreenDpi(), kBaseDpi);
}

int UnscaleForDpi(int pixels) {
    return MulDiv(pixels, kBaseDpi, ScreenDpi());
}
