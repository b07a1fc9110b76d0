#pragma once
// The dialog base of the window framework. Win32 code only.
#include <windows.h>
#include "platform/MessageMap.h"
#include <string>
#include <vector>

// A dialog from a template, modal or modeless; they differ only in how they end. The
// object is bound to its window through DWLP_USER from WM_INITDIALOG to WM_NCDESTROY.
// Timers and GDI objects taken through the dialog are released when the window goes.
class Dialog {
public:
    explicit Dialog(int templateId) : templateId(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog in its own message loop until End; the owner is disabled meanwhile.
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
    // Dispatch of one message through the derived class's map. False when not handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) = 0;
    // Before the map: the window is bound and the controls exist.
    virtual void OnBound() {}
    // After WM_DESTROY's own handling: release what the dialog holds.
    void ReleaseOwned();

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
    void Unbind();

    int templateId;
    HWND window = nullptr;
    bool modal = false;
    bool ended = false;
    bool passOn = false;
    INT_PTR modalResult = 0;
    std::vector<UINT_PTR> timers;
    std::vector<HGDIOBJ> gdiObjects;
    FailureGate failures;
};

// The program's message loop for modeless windows: keyboard input goes to the active
// dialog. Returns the WM_QUIT code.
int RunMessageLoop();
// True when the message was a dialog's keyboard message and has been handled.
bool RouteDialogMessage(MSG& message);
