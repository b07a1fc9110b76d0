#include "common/BarGeometry.h"
#include "common/EdgeAutoHide.h"
#include <algorithm>

namespace {
constexpr DWORD kSlideStepPauseMs = 10;

BarRect BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool MonitorAt(LONG x, LONG y) {
    return MonitorFromPoint({x, y}, MONITOR_DEFAULTTONULL) != nullptr;
}

// The monitor the window is on; an edge with another monitor beyond it is not open.
EdgeScreen ScreenOf(const RECT& window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &info))
        return {0, 0, GetSystemMetrics(SM_CXSCREEN)};
    const RECT& monitor = info.rcMonitor;
    const LONG middleX =
        std::clamp((window.left + window.right) / 2, monitor.left, monitor.right - 1);
    const LONG middleY =
        std::clamp((window.top + window.bottom) / 2, monitor.top, monitor.bottom - 1);
    EdgeScreen screen{monitor.left, monitor.top, monitor.right};
    screen.leftOpen = !MonitorAt(monitor.left - 1, middleY);
    screen.topOpen = !MonitorAt(middleX, monitor.top - 1);
    screen.rightOpen = !MonitorAt(monitor.right, middleY);
    return screen;
}
} // namespace

void EdgeAutoHide::Reset() {
    hidden = false;
    sliding = false;
    armed = true;
    interval = idleMs;
}

void EdgeAutoHide::Start() {
    window.StartTimer(timerId, interval);
}

void EdgeAutoHide::Stop() {
    window.StopTimer(timerId);
}

void EdgeAutoHide::OnTimer() {
    if (interval == idleMs) {
        interval = kAutoHideTrackingMs;
        Start();
    }
    Step();
}

void EdgeAutoHide::Step() {
    if (edges == AutoHideEdges::Top)
        StepAtTop();
    else
        StepAtEdges();
}

void EdgeAutoHide::StepAtTop() {
    if (!enabled())
        return;
    RECT rect{};
    GetWindowRect(window.Handle(), &rect);
    POINT cursor{};
    GetCursorPos(&cursor);
    const BarRect bar = BoxOf(rect);
    if (hidden && !bar.Contains(cursor.x, cursor.y))
        return;
    if (interval == idleMs)
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

void EdgeAutoHide::StepAtEdges() {
    RECT rect{};
    GetWindowRect(window.Handle(), &rect);
    POINT cursor{};
    GetCursorPos(&cursor);
    const BarRect box = BoxOf(rect);
    const EdgeStep step = DecideEdgeAutoHide(box, cursor.x, cursor.y, hidden, ScreenOf(rect));
    if (step.action == EdgeAction::None)
        return;
    if (step.action == EdgeAction::SlideAway && !enabled()) {
        Stop(); // switched off meanwhile; bringing the window back starts it again
        return;
    }
    const bool alongTop = step.edge == ScreenEdge::Top;
    auto move = [&](int position) {
        MoveTo(alongTop ? box.left : position, alongTop ? position : box.top);
    };
    sliding = true;
    if (step.action == EdgeAction::SlideAway && armed) {
        armed = false;
        const int from = alongTop ? box.top : box.left;
        const int stopWithin = alongTop ? kEdgeSlideStopTop : kEdgeSlideStopSides;
        const std::vector<int> positions =
            SlidePositions(from, step.target, kEdgeSlideStepPixels, stopWithin);
        for (std::size_t i = 0; i + 1 < positions.size(); ++i) {
            move(positions[i]);
            Sleep(kSlideStepPauseMs);
        }
    }
    move(step.target);
    hidden = step.action == EdgeAction::SlideAway;
    sliding = false;
}

void EdgeAutoHide::Reveal() {
    interval = idleMs;
    Start();
    hidden = false;
    armed = true;
    MoveTop(kRevealedTop);
}

void EdgeAutoHide::BringBack() {
    armed = true;
    if (hidden) {
        hidden = false;
        RECT rect{};
        GetWindowRect(window.Handle(), &rect);
        const BarRect box = BoxOf(rect);
        const EdgeStep step = BringBackFromEdge(box, ScreenOf(rect));
        if (step.edge == ScreenEdge::Top)
            MoveTo(box.left, step.target);
        else if (step.action == EdgeAction::Reveal)
            MoveTo(step.target, box.top);
    }
    interval = idleMs;
    if (enabled())
        Start();
    else
        Stop();
}

void EdgeAutoHide::MoveTop(int top) {
    RECT rect{};
    GetWindowRect(window.Handle(), &rect);
    MoveTo(rect.left, top);
}

void EdgeAutoHide::MoveTo(int left, int top) {
    RECT rect{};
    GetWindowRect(window.Handle(), &rect);
    SetWindowPos(window.Handle(), nullptr, left, top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}
