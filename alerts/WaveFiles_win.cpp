#include <windows.h>
#include "alerts/WaveFiles.h"
#include "platform/Text.h"

std::string FirstWaveFile(const std::string& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(Widen(folder + "*.wav").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    std::string path;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            path = folder + Narrow(found.cFileName);
            break;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return path;
}
