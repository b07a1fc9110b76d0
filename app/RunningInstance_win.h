#pragma once
#include <windows.h>

// The price bar of an instance already running on this desktop: a dialog with the product
// window title, or nullptr. A restarting instance has changed its title and does not count.
HWND FindRunningInstance();
