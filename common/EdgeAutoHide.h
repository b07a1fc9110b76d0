#pragma once
// A window that slides under a screen edge when the pointer leaves it and comes back when
// the pointer touches the strip left showing. Driven by one timer of the window: slow
// while nothing happens, fast while it follows the pointer. The price bar hides at the top
// edge only; a floating window at the right, the left or the top edge. Win32 code.
#include "platform/Dialog.h"
#include <functional>

inline constexpr UINT kAutoHideIdleMs = 1000;
inline constexpr UINT kAutoHideTrackingMs = 100;
inline constexpr UINT kFloatAutoHideIdleMs = 2000;

enum class AutoHideEdges {
    Top,          // the price bar
    RightLeftTop, // a floating window
};

class EdgeAutoHide {
public:
    // `enabled` tells whether the user has switched auto-hide on. The bar asks it before
    // every step; a floating window only before it slides away, and stops its timer when off.
    EdgeAutoHide(Dialog& window, UINT_PTR timerId, std::function<bool()> enabled,
                 AutoHideEdges edges = AutoHideEdges::Top, UINT idleMs = kAutoHideIdleMs)
        : window(window), timerId(timerId), enabled(std::move(enabled)), edges(edges),
          idleMs(idleMs), interval(idleMs) {}

    // Shown in full, the first slide animated, the slow timer.
    void Reset();
    // (Re)starts the timer at its current pace.
    void Start();
    void Stop();
    void OnTimer();
    // One look at the pointer: slide away or come back.
    void Step();
    // Back in full at once (the user asked for the window), the first slide animated again.
    void Reveal();
    // A floating window out from under its edge, back at the slow pace; the timer runs on
    // while auto-hide is switched on.
    void BringBack();
    // The window was moved by someone else: it is no longer under the edge.
    void OnMoved() { hidden = false; }

    bool Hidden() const { return hidden; }
    bool Sliding() const { return sliding; } // moves of our own are not the user's

private:
    void StepAtTop();
    void StepAtEdges();
    void MoveTop(int top);
    void MoveTo(int left, int top);

    Dialog& window;
    UINT_PTR timerId;
    std::function<bool()> enabled;
    AutoHideEdges edges;
    UINT idleMs;
    bool hidden = false;
    bool armed = true; // the next slide is animated
    bool sliding = false;
    UINT interval;
};
