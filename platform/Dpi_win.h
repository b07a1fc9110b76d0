#pragma once
// Lengths laid out for 96 dots per inch, drawn at the screen's resolution. The programs
// declare themselves DPI-aware, so the system does not stretch their pixel sizes for them.
#include "platform/DpiScale.h"

int ScreenDpi();
int ScaleForDpi(int pixels);   // from 96 dpi to the screen's
int UnscaleForDpi(int pixels); // from the screen's to 96 dpi
