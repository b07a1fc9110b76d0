#include "platform/Font_win.h"

HFONT MakeFont(const wchar_t* face, int height, int weight, DWORD quality, BYTE family) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | family,
                       face);
}
