#pragma once
// A window that slides under a screen edge when the pointer leaves it and comes back when
// the pointer touches the strip left showing. Driven by one timer of the window: slow
// while nothing happens, fast while it follows the pointer. Win32 code.
#include "platform/Dialog.h"
#include <functional>

inline constexpr UINT kAutoHideIdleMs = 1000;
inline constexpr UINT kAutoHideTrackingMs = 100;

class EdgeAutoHide {
public:
    // `enabled` tells whether the user has switched auto-hide on.
    EdgeAutoHide(Dialog& window, UINT_PTR timerId, std::function<bool()> enabled)
        : window(window), timerId(timerId), enabled(std::move(enabled)) {}

    // Shown in full, the first slide animated, the slow timer.
    void Reset();
    // (Re)starts the timer at its current pace.
    void Start();
    void OnTimer();
    // One look at the pointer: slide away or come back.
    void Step();
    // Back in full at once (the user asked for the window), the first slide animated again.
    void Reveal();
    // The window was moved by someone else: it is no longer under the edge.
    void OnMoved() { hidden = false; }

    bool Hidden() const { return hidden; }
    bool Sliding() const { return sliding; } // moves of our own are not the user's

private:
    void MoveTop(int top);

    Dialog& window;
    UINT_PTR timerId;
    std::function<bool()> enabled;
    bool hidden = false;
    bool armed = true; // the next slide is animated
    bool sliding = false;
    UINT interval = kAutoHideIdleMs;
};
