#pragma once
// The floating price windows as the price bar reaches them (floats/DlgFloatAccess.cpp).
#include <string>

class PriceBarDoor;

// The pair's window, or the open one brought to the top.
void OpenFloatWindow(PriceBarDoor& bar, const std::string& symbol);
void BringBackFloatWindows(); // every open one, out from under its edge
bool AnyFloatWindowShown();   // open and not hidden at a screen edge
