#include "app/RunningInstance_win.h"
#include "common/StartupRules.h"
#include "platform/Text.h"

namespace {
constexpr wchar_t kDialogClass[] = L"#32770";
}

HWND FindRunningInstance() {
    return FindWindowW(kDialogClass, Widen(kProductWindowTitle).c_str());
}
