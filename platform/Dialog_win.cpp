#include "platform/Dialog.h"
#include "platform/Text.h"
#include <algorithm>

namespace {
constexpr ATOM kDialogClassAtom = 32770; // "#32770"

bool IsDialogWindow(HWND window) {
    return window && GetClassLongW(window, GCW_ATOM) == kDialogClassAtom;
}
} // namespace

Dialog::~Dialog() {
    if (window) {
        // No message may reach this half-destroyed object.
        SetWindowLongPtrW(window, DWLP_USER, 0);
        HWND doomed = window;
        window = nullptr;
        DestroyWindow(doomed);
    }
    for (HGDIOBJ object : gdiObjects)
        DeleteObject(object);
}

INT_PTR Dialog::DoModal(HWND owner) {
    modal = true;
    ended = false;
    modalResult = 0;
    if (!CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                            &Dialog::DialogProc, reinterpret_cast<LPARAM>(this)))
        return -1;
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    // Like the system's modal dialogs: shown once initialisation is over.
    if (!ended && window && !IsWindowVisible(window))
        ShowWindow(window, SW_SHOWNORMAL);
    PumpUntil([this] { return ended || !window; });
    if (disableOwner)
        EnableWindow(owner, TRUE); // before the window goes, so the owner gets activated
    if (window)
        DestroyWindow(window);
    return modalResult;
}

bool Dialog::Create(HWND owner) {
    modal = false;
    ended = false;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                              &Dialog::DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::End(INT_PTR result) {
    modalResult = result;
    ended = true;
    if (!window)
        return;
    if (modal)
        PostMessageW(window, WM_NULL, 0, 0); // wakes the loop when called from outside it
    else
        DestroyWindow(window);
}

void Dialog::StartTimer(UINT_PTR id, UINT milliseconds) {
    if (!window)
        return;
    SetTimer(window, id, milliseconds, nullptr);
    if (std::find(timers.begin(), timers.end(), id) == timers.end())
        timers.push_back(id);
}

void Dialog::StopTimer(UINT_PTR id) {
    if (window)
        KillTimer(window, id);
    std::erase(timers, id);
}

void Dialog::ReportFailure(const std::string& text) {
    MessageBoxW(window, Widen(text).c_str(), L"", MB_OK);
}

FailureReporter Dialog::Reporter() {
    return [this](const std::string& text) { ReportFailure(text); };
}

void Dialog::ReleaseOwned() {
    for (UINT_PTR id : timers)
        KillTimer(window, id);
    timers.clear();
    for (HGDIOBJ object : gdiObjects)
        DeleteObject(object);
    gdiObjects.clear();
}

void Dialog::Unbind() {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    window = nullptr;
    if (modal)
        ended = true;
}

MsgKey Dialog::KeyOf(UINT message, WPARAM wParam, LPARAM lParam) {
    MsgKey key;
    if (message == WM_COMMAND) {
        key.kind = MsgKind::Command;
        key.id = LOWORD(wParam);
        key.code = HIWORD(wParam);
    } else if (message == WM_NOTIFY && lParam) {
        const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
        key.kind = MsgKind::Notify;
        key.id = static_cast<int>(header.idFrom);
        key.code = static_cast<int>(header.code);
    } else {
        key.message = message;
    }
    return key;
}

// Messages whose dialog-procedure result is the answer itself, not a handled flag.
bool Dialog::ReturnsDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->window = hwnd;
        self->OnBound();
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;
    INT_PTR result = 0;
    const bool outerPassOn = self->passOn; // a nested message must not lose the outer flag
    self->passOn = false;
    ++self->depth;
    const bool handled = self->OnMessage(message, wParam, lParam, result) && !self->passOn;
    --self->depth;
    self->passOn = outerPassOn;
    if (message == WM_DESTROY)
        self->ReleaseOwned();
    if (message == WM_NCDESTROY) {
        self->Unbind();
        self->finalPending = true;
    }
    INT_PTR answer = FALSE;
    if (!handled) {
        answer = message == WM_INITDIALOG ? TRUE : FALSE;
    } else if (ReturnsDirectly(message)) {
        answer = result;
    } else {
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        answer = TRUE;
    }
    // A handler that destroyed its own window is still on the stack below us: the outermost
    // frame makes the final call.
    if (self->finalPending && self->depth == 0) {
        self->finalPending = false;
        self->OnFinalMessage(); // may delete self
    }
    return answer;
}

void DispatchOne(MSG& message) {
    HWND active = GetActiveWindow();
    if (IsDialogWindow(active) && IsDialogMessageW(active, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

RECT PlaceInParent(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

bool PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchOne(message);
    }
    return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (!PumpPending())
            break;
        if (done())
            break;
        DWORD wait = pollMs;
        if (timeoutMs != INFINITE) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeoutMs)
                break;
            wait = std::min(wait, timeoutMs - elapsed);
        }
        // Wakes for anything that arrives, also input that a peek has already seen.
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return done();
}
