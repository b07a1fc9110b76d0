#pragma once
// The program menu as a window shows it at a point. Win32 code only.
#include <windows.h>
#include "common/ProgramMenu.h"

// The menu's state for a window: the sources, the language, the terminal's visibility.
MenuState ProgramMenuStateFor(bool barVisible, const std::string& caller);
// Loads the menu, drops and names the items for the state and tracks it for the owner,
// brought to the front first. With TPM_RETURNCMD in `flags` the chosen command comes back
// instead of being sent; 0 when none was chosen.
UINT TrackProgramMenu(HWND owner, const MenuState& state, POINT at, UINT flags);
