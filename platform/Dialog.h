#pragma once
// The window framework: a dialog made from a template, bound to its object, with a message
// map. Win32 code only.
//
// How a new window is written:
//   1. Its template goes into a .rc file under resources/, its ids into resources/resource.h.
//   2. The class derives from DialogOf<CDlgX>, passes the template id to the constructor
//      and declares `static const MessageMap<CDlgX> messages;` — the map is the whole
//      routing; the unit test of the maps finds the table in the source by itself.
//   3. Map entries: onMessage(WM_TIMER, &CDlgX::OnTimer, "OnTimer"),
//      onCommand(IDC_OK, BN_CLICKED, &CDlgX::OnOk, "OnOk"),
//      onNotify(IDC_LIST, NM_DBLCLK, &CDlgX::OnDblClk, "OnDblclk"). A handler is
//      `MsgResult OnX(MsgWParam, MsgLParam)`, unpacks its parameters with platform/Params.h
//      and reads as its steps; rules and arithmetic go into portable files with unit tests.
//      A failing handler shows "<name>\nError" and the program goes on.
//   4. Modal: a local object and DoModal(owner). Modeless: Create(owner), then show and hide.
//      A window that owns itself (a popup) is made with new, and overrides OnFinalMessage()
//      with `delete this`.
//   5. Timers from StartTimer and GDI objects passed through Own() go with the window.
#include <windows.h>
#include "platform/MessageMap.h"
#include <functional>
#include <string>
#include <vector>

// A dialog from a template, modal or modeless; they differ only in how they end. The
// object is bound to its window through DWLP_USER from WM_INITDIALOG to WM_NCDESTROY.
class Dialog {
public:
    explicit Dialog(int templateId) : templateId(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog in the program's message pump until End; the owner is disabled
    // meanwhile.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog modeless; false when the template cannot be made.
    bool Create(HWND owner = nullptr);
    // Ends a modal dialog with a result, or destroys a modeless one.
    void End(INT_PTR result);

    HWND Handle() const { return window; }
    bool Ending() const { return ended; } // End has been called
    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool IsVisible() const { return window && IsWindowVisible(window); }

    void StartTimer(UINT_PTR id, UINT milliseconds);
    void StopTimer(UINT_PTR id);
    // The dialog deletes the object when its window is destroyed.
    template <class T> T Own(T object) {
        if (object)
            gdiObjects.push_back(reinterpret_cast<HGDIOBJ>(object));
        return object;
    }

    // Shows "<handler>\nError" with an empty caption, owned by this window.
    void ReportFailure(const std::string& text);
    FailureGate& Failures() { return failures; }
    FailureReporter Reporter();
    // Called by a handler that wants the system's own processing after all.
    void PassOn() { passOn = true; }

protected:
    // Dispatch of one message. False when not handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) = 0;
    // Before the map: the window is bound and the controls exist.
    virtual void OnBound() {}
    // The very last call for this window, once no handler of it runs any more: the place
    // where a window that owns itself deletes itself.
    virtual void OnFinalMessage() {}

    template <class T>
    bool DispatchMap(T& self, const MessageMap<T>& map, UINT message, WPARAM wParam, LPARAM lParam,
                     INT_PTR& result) {
        MsgResult value = 0;
        const bool handled = map.Dispatch(self, KeyOf(message, wParam, lParam), wParam, lParam,
                                          value, failures, Reporter());
        result = static_cast<INT_PTR>(value);
        return handled;
    }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static MsgKey KeyOf(UINT message, WPARAM wParam, LPARAM lParam);
    static bool ReturnsDirectly(UINT message);
    void ReleaseOwned();
    void Unbind();

    int templateId;
    HWND window = nullptr;
    bool modal = false;
    bool ended = false;
    bool passOn = false;
    int depth = 0;             // handlers of this window on the stack
    bool finalPending = false; // the window is gone; OnFinalMessage waits for depth 0
    INT_PTR modalResult = 0;
    std::vector<UINT_PTR> timers;
    std::vector<HGDIOBJ> gdiObjects;
    FailureGate failures;
};

// The usual window: routes every message through the class's own map `T::messages`.
template <class T> class DialogOf : public Dialog {
public:
    using Dialog::Dialog;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        return DispatchMap(static_cast<T&>(*this), T::messages, message, wParam, lParam, result);
    }
};

// A child window's rectangle in its parent's client coordinates.
RECT PlaceInParent(HWND control);

// The program's one message pump: the modal loop, the pause between voice clips and the
// waited download all run it. Keyboard input goes through the active dialog's manager.
void DispatchOne(MSG& message);
// Handles every waiting message. False when WM_QUIT came; it is posted again for the loop
// that owns the program's end.
bool PumpPending();
// Pumps until `done`, WM_QUIT or the time limit (INFINITE: none); `pollMs` wakes the
// wait to look at `done` when nothing arrives. Returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = INFINITE,
               DWORD pollMs = INFINITE);
