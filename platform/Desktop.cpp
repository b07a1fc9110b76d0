#include "platform/Desktop.h"

namespace {
Desktop* installedDesktop = nullptr;
}

Desktop& CurrentDesktop() {
    return installedDesktop ? *installedDesktop : PlatformDesktop();
}
void SetCurrentDesktop(Desktop* desktop) {
    installedDesktop = desktop;
}
