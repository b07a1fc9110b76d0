#pragma once
// The fonts the windows make for themselves. Win32 only.
#include <windows.h>

// This face at this height in pixels; the family says what may stand in where the face is
// missing (FF_DONTCARE: whatever the system picks).
HFONT MakeFont(const wchar_t* face, int height, int weight, DWORD quality = DEFAULT_QUALITY,
               BYTE family = FF_SWISS);
