#include <windows.h>
#include "controls/Skin.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace {
// The library is imported by ordinal only.
constexpr WORD kLoadSkinOrdinal = 3;
constexpr WORD kReleaseSkinOrdinal = 2;
constexpr WORD kExcludeControlOrdinal = 37;

using LoadSkinFn = BOOL(WINAPI*)(const char* skinFile, BOOL reserved);
using ReleaseSkinFn = BOOL(WINAPI*)();
using ExcludeControlFn = BOOL(WINAPI*)(HWND control, BOOL exclude);

HMODULE skinLibrary = nullptr;
bool skinLoaded = false;

FARPROC Entry(WORD ordinal) {
    return skinLibrary ? GetProcAddress(skinLibrary, MAKEINTRESOURCEA(ordinal)) : nullptr;
}
} // namespace

bool LoadSkin(const std::string& programFolder) {
    const std::string skinFile = SkinFilePath(programFolder);
    if (Files().Kind(skinFile) != PathKind::File)
        return false;
    if (!skinLibrary)
        skinLibrary = LoadLibraryW(L"SkinPPWTL.dll");
    auto load = reinterpret_cast<LoadSkinFn>(reinterpret_cast<void*>(Entry(kLoadSkinOrdinal)));
    if (!load)
        return false;
    load(Utf8ToAnsi(skinFile).c_str(), FALSE);
    skinLoaded = true;
    return true;
}

void ReleaseSkin() {
    if (skinLoaded) {
        auto release =
            reinterpret_cast<ReleaseSkinFn>(reinterpret_cast<void*>(Entry(kReleaseSkinOrdinal)));
        if (release)
            release();
        skinLoaded = false;
    }
    if (skinLibrary) {
        FreeLibrary(skinLibrary);
        skinLibrary = nullptr;
    }
}

void ExcludeFromSkin(void* controlWindow) {
    auto exclude =
        reinterpret_cast<ExcludeControlFn>(reinterpret_cast<void*>(Entry(kExcludeControlOrdinal)));
    if (exclude && controlWindow)
        exclude(static_cast<HWND>(controlWindow), TRUE);
}
