#include "platform/WebBrowser_win.h"
#include "platform/Text.h"
#include "platform/UrlRules.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <ole2.h>
#include <oleidl.h>

namespace {

template <class T> void ReleaseAndClear(T*& pointer) {
    if (pointer) {
        pointer->Release();
        pointer = nullptr;
    }
}

// The identity of a COM object, compared and never kept.
IUnknown* IdentityOf(IUnknown* object) {
    IUnknown* identity = nullptr;
    if (!object ||
        FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))))
        return nullptr;
    identity->Release();
    return identity;
}

// The text of a BSTR argument, also when passed by reference or inside a VARIANT reference.
std::wstring TextArgument(const VARIANT& argument) {
    if (argument.vt == VT_BSTR)
        return argument.bstrVal ? argument.bstrVal : L"";
    if (argument.vt == (VT_BSTR | VT_BYREF) && argument.pbstrVal && *argument.pbstrVal)
        return *argument.pbstrVal;
    if (argument.vt == (VT_VARIANT | VT_BYREF) && argument.pvarVal)
        return TextArgument(*argument.pvarVal);
    return L"";
}

bool Cancel(VARIANT& argument) {
    if (argument.vt != (VT_BOOL | VT_BYREF) || !argument.pboolVal)
        return false;
    *argument.pboolVal = VARIANT_TRUE;
    return true;
}

} // namespace

bool CancelUnsafeNavigation(long dispatchId, DISPPARAMS* parameters, bool& newWindowApproved) {
    if (!parameters || !parameters->rgvarg)
        return false;
    // Arguments come last first.
    VARIANT* arguments = parameters->rgvarg;
    const UINT count = parameters->cArgs;
    switch (dispatchId) {
    case DISPID_BEFORENAVIGATE2: // (frame, url, flags, target, post data, headers, cancel)
        if (count < 7 || BrowserMayOpen(Narrow(TextArgument(arguments[5]))))
            return false;
        return Cancel(arguments[0]);
    case DISPID_NEWWINDOW3: // (window, cancel, flags, url context, url)
        if (count < 5)
            return false;
        newWindowApproved = BrowserMayOpen(Narrow(TextArgument(arguments[0])));
        return !newWindowApproved && Cancel(arguments[3]);
    case DISPID_NEWWINDOW2: { // (window, cancel): only after an approved NewWindow3
        const bool approved = newWindowApproved;
        newWindowApproved = false;
        return count >= 2 && !approved && Cancel(arguments[0]);
    }
    default:
        return false;
    }
}

// Everything the control asks of its container: the client site, the in-place site and a
// frame that offers nothing. The event sink is a separate object sharing the site's count,
// since the control also asks the site for IDispatch (ambient properties).
class WebBrowser::Site final : public IOleClientSite,
                               public IOleInPlaceSite,
                               public IOleInPlaceFrame {
public:
    Site(HWND parent, const RECT& place, std::function<void()> onDocumentComplete)
        : parent(parent), place(place), onDocumentComplete(std::move(onDocumentComplete)) {}

    // From here on no event reaches the owner, which is going away.
    void Detach() {
        onDocumentComplete = nullptr;
        topFrame = nullptr;
    }
    void SetTopFrame(IUnknown* identity) { topFrame = identity; }
    void SetPlace(const RECT& rect) { place = rect; }
    IDispatch* Sink() { return &sink; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** result) override {
        if (!result)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *result = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *result = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *result = static_cast<IOleInPlaceFrame*>(this);
        else {
            *result = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&count); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&count);
        if (left == 0)
            delete this;
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (the in-place site's and the frame's)
    STDMETHODIMP GetWindow(HWND* window) override {
        if (!window)
            return E_POINTER;
        *window = parent;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !position || !clip || !info)
            return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        *position = place;
        *clip = place;
        // cb is the caller's; the rest is ours.
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(parent, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow: no tool space to give.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

    // IOleInPlaceFrame: no menus, no status line, no accelerators.
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~Site() = default;

    // DWebBrowserEvents2: addresses that are no web page are cancelled; only DocumentComplete
    // of the top frame is passed on.
    class EventSink final : public IDispatch {
    public:
        explicit EventSink(Site& site) : site(site) {}

        STDMETHODIMP QueryInterface(REFIID iid, void** result) override {
            if (!result)
                return E_POINTER;
            if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
                *result = static_cast<IDispatch*>(this);
                AddRef();
                return S_OK;
            }
            *result = nullptr;
            return E_NOINTERFACE;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return site.AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return site.Release(); }

        STDMETHODIMP GetTypeInfoCount(UINT* count) override {
            if (count)
                *count = 0;
            return S_OK;
        }
        STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
            if (info)
                *info = nullptr;
            return E_NOTIMPL;
        }
        STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
            return E_NOTIMPL;
        }
        STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                            EXCEPINFO*, UINT*) override {
            if (CancelUnsafeNavigation(id, parameters, newWindowApproved) ||
                id != DISPID_DOCUMENTCOMPLETE)
                return S_OK;
            // DocumentComplete(IDispatch* frame, VARIANT* url): arguments come last first.
            if (!parameters || parameters->cArgs < 2 || !site.topFrame)
                return S_OK;
            const VARIANT& frame = parameters->rgvarg[parameters->cArgs - 1];
            IUnknown* sender = nullptr;
            if (frame.vt == VT_DISPATCH)
                sender = frame.pdispVal;
            else if (frame.vt == (VT_DISPATCH | VT_BYREF) && frame.ppdispVal)
                sender = *frame.ppdispVal;
            if (IdentityOf(sender) != site.topFrame)
                return S_OK;
            // A copy: the owner may replace its handler from inside it.
            const std::function<void()> handler = site.onDocumentComplete;
            if (!handler)
                return S_OK;
            site.AddRef();
            try {
                handler();
            } catch (...) {
                // Must not unwind through the control's frames.
            }
            site.Release();
            return S_OK;
        }

    private:
        Site& site;
        bool newWindowApproved = false;
    };

    LONG count = 1;
    HWND parent;
    RECT place;
    std::function<void()> onDocumentComplete;
    IUnknown* topFrame = nullptr; // the control's identity, not counted
    EventSink sink{*this};
};

std::unique_ptr<WebBrowser> WebBrowser::Create(HWND placeIn, int id, const RECT& place,
                                               std::function<void()> onDocumentComplete) {
    if (!placeIn)
        return nullptr;
    // The control belongs in a single-threaded apartment; Wine would create it without COM
    // initialised at all, where Windows refuses.
    APTTYPE apartment{};
    APTTYPEQUALIFIER qualifier{};
    if (FAILED(CoGetApartmentType(&apartment, &qualifier)) ||
        (apartment != APTTYPE_STA && apartment != APTTYPE_MAINSTA))
        return nullptr;
    // Every failure below leaves the object's destructor to undo what was done.
    std::unique_ptr<WebBrowser> result(new WebBrowser);
    WebBrowser& self = *result;
    self.site = new Site(placeIn, place, std::move(onDocumentComplete));

    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&self.object))))
        return nullptr;
    if (FAILED(self.object->SetClientSite(self.site)))
        return nullptr;
    self.object->SetHostNames(L"Pip Warden", nullptr);
    OleSetContainedObject(self.object, TRUE);
    if (FAILED(
            self.object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&self.browser))))
        return nullptr;
    // Script errors and other prompts of the page must never open boxes.
    self.browser->put_Silent(VARIANT_TRUE);
    self.site->SetTopFrame(IdentityOf(self.browser));

    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(self.object->QueryInterface(IID_IConnectionPointContainer,
                                              reinterpret_cast<void**>(&points)))) {
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &self.events))) {
            DWORD cookie = 0;
            if (SUCCEEDED(self.events->Advise(self.site->Sink(), &cookie)))
                self.eventsCookie = cookie;
            else
                ReleaseAndClear(self.events);
        }
        points->Release();
    }
    if (!self.events)
        return nullptr; // without the event the page view could never tell it rendered

    RECT rect = place;
    if (FAILED(
            self.object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, self.site, 0, placeIn, &rect)))
        return nullptr;
    if (FAILED(self.object->QueryInterface(IID_IOleInPlaceObject,
                                           reinterpret_cast<void**>(&self.inPlace))))
        return nullptr;
    self.inPlace->SetObjectRects(&rect, &rect);
    if (HWND window = self.Window()) {
        SetWindowLongPtrW(window, GWLP_ID, id);
        ShowWindow(window, SW_HIDE);
    }
    return result;
}

WebBrowser::~WebBrowser() {
    if (site)
        site->Detach();
    if (events) {
        events->Unadvise(eventsCookie);
        ReleaseAndClear(events);
    }
    if (inPlace) {
        inPlace->InPlaceDeactivate();
        ReleaseAndClear(inPlace);
    }
    ReleaseAndClear(browser);
    if (object) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        ReleaseAndClear(object);
    }
    // Last: the control may have called the site until it let go of it.
    ReleaseAndClear(site);
}

bool WebBrowser::Navigate(const std::wstring& address) {
    if (!browser)
        return false;
    BSTR url = SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
    if (!url)
        return false;
    VARIANT empty;
    VariantInit(&empty);
    const HRESULT hr = browser->Navigate(url, &empty, &empty, &empty, &empty);
    SysFreeString(url);
    return SUCCEEDED(hr);
}

void WebBrowser::Move(const RECT& place) {
    site->SetPlace(place);
    if (inPlace)
        inPlace->SetObjectRects(&place, &place);
}

void WebBrowser::Show(bool visible) {
    if (HWND window = Window())
        ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

HWND WebBrowser::Window() const {
    HWND window = nullptr;
    if (!inPlace || FAILED(inPlace->GetWindow(&window)))
        return nullptr;
    return window;
}
