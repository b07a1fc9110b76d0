#include "platform/MessageBox.h"
#include <cstdio>

void PlatformMessageBox(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
}

// Nobody can answer here: the question counts as cancelled.
bool PlatformAskOkCancel(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "[%s] %s (Cancel)\n", caption.c_str(), text.c_str());
    return false;
}
