#pragma once
#include "tools/mt4sim/SimProtocol.h"

#include <windows.h>

#include <string>

// Sends one test command to a simulated terminal; true when it answered 1. A terminal
// that does not answer within the timeout counts as a refusal, so a test cannot hang.
inline bool SendSimCommand(HWND terminal, SimCommand command, const std::string& utf8 = "",
                           UINT timeoutMs = 5000) {
    COPYDATASTRUCT data{};
    data.dwData = static_cast<ULONG_PTR>(command);
    data.cbData = static_cast<DWORD>(utf8.size());
    data.lpData = const_cast<char*>(utf8.data());
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(terminal, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, timeoutMs, &answer))
        return false;
    return answer == 1;
}
