#include "platform/MessageBox.h"
#include <cstdio>

void PlatformMessageBox(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
}
