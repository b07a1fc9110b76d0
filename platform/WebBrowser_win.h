#pragma once
// The system web browser control, hosted in a window of ours without ATL. Win32 code only.
#include <windows.h>
#include <oaidl.h>
#include <functional>
#include <memory>
#include <string>

struct IOleObject;
struct IOleInPlaceObject;
struct IWebBrowser2;
struct IConnectionPoint;

// The control's question before it opens an address (BeforeNavigate2 in any frame,
// NewWindow3, NewWindow2): anything but a web page is cancelled through the event's Cancel
// argument. `newWindowApproved` carries NewWindow3's answer to the NewWindow2 that follows,
// which names no address. True when the event was cancelled.
bool CancelUnsafeNavigation(long dispatchId, DISPPARAMS* parameters, bool& newWindowApproved);

class WebBrowser {
public:
    // nullptr when the control cannot be created or activated (no browser engine, COM not
    // initialised as a single-threaded apartment). `placeIn` is the parent window (our page
    // view); `id` the child id given to the control's window where one exists;
    // `onDocumentComplete` is called on the user-interface thread for each DocumentComplete
    // event (dispatch id 259) of the top frame only, possibly from inside Navigate. It must
    // not destroy this object (the control is still firing the event); an exception it
    // throws is swallowed so that it never unwinds through the control. The control starts
    // hidden: Show(true) shows it.
    static std::unique_ptr<WebBrowser> Create(HWND placeIn, int id, const RECT& place,
                                              std::function<void()> onDocumentComplete);
    ~WebBrowser(); // unadvises, deactivates and releases everything; safe at any time
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;

    bool Navigate(const std::wstring& address); // no flags, no target, no post data, no headers
    void Move(const RECT& place);
    void Show(bool visible);
    HWND Window() const; // the control's own window, nullptr if it has none

private:
    class Site; // the client site and event sink; a COM object of its own lifetime
    WebBrowser() = default;

    Site* site = nullptr;
    IOleObject* object = nullptr;
    IOleInPlaceObject* inPlace = nullptr;
    IWebBrowser2* browser = nullptr;
    IConnectionPoint* events = nullptr;
    unsigned long eventsCookie = 0;
};
