#pragma once
// A static text control turned into a link: blue and underlined, red under the pointer, a
// hand cursor, the address as its tooltip; a click opens the address. Win32 only.
#include <windows.h>
#include <string>

class CHyperLink {
public:
    CHyperLink() = default;
    ~CHyperLink();
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    // An empty address takes the control's text; an empty text shows the address.
    void Attach(HWND control, const std::string& address = "");
    void SetAddress(const std::string& address);
    bool Visited() const { return visited; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void AdjustSize();
    void Paint();
    void Open();
    void TrackPointer(LPARAM lParam);
    void RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam);
    UINT EllipsisFormat() const;

    COLORREF linkColour = RGB(0, 0, 238);
    COLORREF visitedColour = RGB(136, 0, 0);
    COLORREF hoverColour = RGB(255, 0, 0);
    bool hovering = false;
    bool visited = false;
    bool underline = true;
    bool adjustToFit = true;
    int widest = 0; // the control's width as placed
    std::string address;
    HFONT font = nullptr;
    HCURSOR handCursor = nullptr;
    HWND tooltip = nullptr;
    HWND control = nullptr;
    WNDPROC previousProc = nullptr;
};
