#include <windows.h>
#include "platform/MessageBox.h"
#include "platform/Text.h"

void PlatformMessageBox(const std::string& text, const std::string& caption) {
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

bool PlatformAskOkCancel(const std::string& text, const std::string& caption) {
    return MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OKCANCEL) == IDOK;
}
