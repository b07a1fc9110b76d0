#include "app/BarGeometry.h"
#include "app/EdgeAutoHide.h"

namespace {
constexpr DWORD kSlideStepPauseMs = 10;
} // namespace

void EdgeAutoHide::Reset() {
    hidden = false;
    sliding = false;
    armed = true;
    interval = kAutoHideIdleMs;
}

void EdgeAutoHide::Start() {
    window.StartTimer(timerId, interval);
}

void EdgeAutoHide::OnTimer() {
    if (interval == kAutoHideIdleMs) {
        interval = kAutoHideTrackingMs;
        Start();
    }
    Step();
}

void EdgeAutoHide::Step() {
    if (!enabled())
        return;
    RECT rect{};
    GetWindowRect(window.Handle(), &rect);
    POINT cursor{};
    GetCursorPos(&cursor);
    const BarRect bar{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    if (hidden && !bar.Contains(cursor.x, cursor.y))
        return;
    if (interval == kAutoHideIdleMs)
        Start();
    sliding = true;
    bool animate = false;
    switch (DecideAutoHide(bar, cursor.x, cursor.y, {hidden, armed}, animate)) {
    case AutoHideAction::SlideUp: {
        const std::vector<int> tops = SlideUpTops(bar.height);
        if (animate) {
            armed = false;
            ShowWindow(window.Handle(), SW_SHOWNORMAL);
            for (std::size_t i = 0; i + 1 < tops.size(); ++i) {
                MoveTop(tops[i]);
                Sleep(kSlideStepPauseMs);
            }
        }
        MoveTop(tops.back());
        hidden = true;
        break;
    }
    case AutoHideAction::Reveal:
        MoveTop(kRevealedTop);
        hidden = false;
        break;
    case AutoHideAction::None:
        break;
    }
    sliding = false;
}

void EdgeAutoHide::Reveal() {
    interval = kAutoHideIdleMs;
    Start();
    hidden = false;
    armed = true;
    MoveTop(kRevealedTop);
}

void EdgeAutoHide::MoveTop(int top) {
    RECT rect{};
    GetWindowRect(window.Handle(), &rect);
    SetWindowPos(window.Handle(), nullptr, rect.left, top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}
