#include "news/DlgNewsNotify.h"
#include "controls/Skin.h"
#include "news/NewsWindows.h"
#include "platform/Font_win.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

namespace {
constexpr COLORREF kItemColour = RGB(255, 0, 0);
constexpr COLORREF kTimeColour = RGB(0, 150, 0);
constexpr COLORREF kUpdatedColour = RGB(0, 0, 255);
constexpr int kLifetimeTicks = 10;
constexpr UINT kTickMs = 1000;
constexpr int kRightGap = 3;   // from the screen's right edge
constexpr int kBottomGap = 30; // above the taskbar's usual height

// The layout on the background, in pixels.
constexpr int kMargin = 14;
constexpr int kCloseSize = 16;
constexpr int kCloseInset = 8;
constexpr int kTimeTop = 10;
constexpr int kTimeHeight = 16;
constexpr int kItemTop = 31;
constexpr int kItemHeight = 22;
constexpr int kUpdatedTop = 55;
constexpr int kUpdatedHeight = 18;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 24;
constexpr int kButtonBottomGap = 12;
constexpr int kTextFontHeight = 15;
constexpr int kItemFontHeight = 18;

HWND& BarPopupWindow() {
    static HWND popup = nullptr;
    return popup;
}
} // namespace

const MessageMap<CDlgNewsNotify> CDlgNewsNotify::messages = {
    onMessage(WM_INITDIALOG, &CDlgNewsNotify::OnInitDialog, "OnInitDialog"),
    onMessage(WM_TIMER, &CDlgNewsNotify::OnTimer, "OnTimer"),
    onMessage(WM_CTLCOLORSTATIC, &CDlgNewsNotify::OnCtlColor, "OnCtlColor"),
    onMessage(WM_ERASEBKGND, &CDlgNewsNotify::OnEraseBackground, "OnEraseBkgnd"),
    onMessage(WM_PAINT, &CDlgNewsNotify::OnPaint, "OnPaint"),
    onMessage(WM_CLOSE, &CDlgNewsNotify::OnClose, "OnClose"),
    onMessage(WM_DESTROY, &CDlgNewsNotify::OnDestroy, "OnDestroy"),
    onCommand(IDCANCEL, &CDlgNewsNotify::OnClose, "OnCancel"),
    onCommand(IDC_NEWS_VIEW, BN_CLICKED, &CDlgNewsNotify::OnView, "OnClickToView"),
    onCommand(IDC_NEWS_CLOSE, STN_CLICKED, &CDlgNewsNotify::OnClose, "OnClosePicture"),
};

CDlgNewsNotify::CDlgNewsNotify() : DialogOf(IDD_NEWS_NOTIFY) {}

CDlgNewsNotify::~CDlgNewsNotify() {
    background.Release();
}

CDlgNewsNotify* CDlgNewsNotify::Open(const std::string& pageName) {
    auto* popup = new CDlgNewsNotify();
    if (!popup->Create(nullptr)) {
        delete popup;
        return nullptr;
    }
    popup->SetUpdateItem(pageName);
    return popup;
}

HWND CDlgNewsNotify::BarPopup() {
    return BarPopupWindow();
}

void CDlgNewsNotify::SetBarPopup(HWND popup) {
    BarPopupWindow() = popup;
}

void CDlgNewsNotify::SetUpdateItem(const std::string& pageName) {
    SetWindowTextW(Item(IDC_NEWS_TIME), Widen(LocaleTimeOfDay()).c_str());
    SetWindowTextW(Item(IDC_NEWS_ITEM), Widen("\"" + pageName + "\"").c_str());
    // The texts are transparent: the background must be drawn again under the new ones.
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// Opened with new and held by no one: the popup goes with its window.
void CDlgNewsNotify::OnFinalMessage() {
    delete this;
}

MsgResult CDlgNewsNotify::OnInitDialog(MsgWParam, MsgLParam) {
    for (int label : {IDC_NEWS_ITEM, IDC_NEWS_UPDATED, IDC_NEWS_TIME})
        ExcludeFromSkin(Item(label));
    ShapeAndPlace();
    LayOutControls();
    SetWindowTextW(Item(IDC_NEWS_UPDATED), Widen(GetText(kTextIsUpdated)).c_str());
    SetWindowTextW(Item(IDC_NEWS_VIEW), Widen(GetText(kTextClickToView)).c_str());
    counter = 0;
    lifetime = kLifetimeTicks;
    StartTimer(kNewsNotifyTimer, kTickMs);
    return TRUE;
}

void CDlgNewsNotify::ShapeAndPlace() {
    if (!background.Apply(Handle(), IDB_NEWS_NOTIFY))
        return;
    const SIZE size = background.Size();
    SetWindowPos(Handle(), HWND_TOPMOST, GetSystemMetrics(SM_CXSCREEN) - size.cx - kRightGap,
                 GetSystemMetrics(SM_CYSCREEN) - size.cy - kBottomGap, size.cx, size.cy,
                 SWP_NOACTIVATE);
}

// In pixels on the background, whatever the dialog units come to; a long page name ends
// in an ellipsis on its one line.
void CDlgNewsNotify::LayOutControls() {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int width = client.right;
    const int textWidth = width - 2 * kMargin;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(Item(IDC_NEWS_CLOSE), nullptr, width - kCloseSize - kCloseInset, kCloseInset,
                 kCloseSize, kCloseSize, flags);
    SetWindowPos(Item(IDC_NEWS_TIME), nullptr, kMargin, kTimeTop,
                 width - kMargin - kCloseSize - 2 * kCloseInset, kTimeHeight, flags);
    SetWindowPos(Item(IDC_NEWS_ITEM), nullptr, kMargin, kItemTop, textWidth, kItemHeight, flags);
    SetWindowPos(Item(IDC_NEWS_UPDATED), nullptr, kMargin, kUpdatedTop, textWidth, kUpdatedHeight,
                 flags);
    SetWindowPos(Item(IDC_NEWS_VIEW), nullptr, (width - kButtonWidth) / 2,
                 client.bottom - kButtonHeight - kButtonBottomGap, kButtonWidth, kButtonHeight,
                 flags);
    HWND item = Item(IDC_NEWS_ITEM);
    SetWindowLongPtrW(item, GWL_STYLE,
                      (GetWindowLongPtrW(item, GWL_STYLE) & ~SS_ELLIPSISMASK) | SS_ENDELLIPSIS);
    // Tahoma: the system links it to the Chinese faces, so a Chinese page name shows too.
    HFONT textFont = Own(MakeFont(L"Tahoma", kTextFontHeight, FW_NORMAL, CLEARTYPE_QUALITY));
    HFONT itemFont = Own(MakeFont(L"Tahoma", kItemFontHeight, FW_BOLD, CLEARTYPE_QUALITY));
    for (int label : {IDC_NEWS_TIME, IDC_NEWS_UPDATED})
        SendMessageW(Item(label), WM_SETFONT, reinterpret_cast<WPARAM>(textFont), FALSE);
    SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(itemFont), FALSE);
}

MsgResult CDlgNewsNotify::OnTimer(MsgWParam wParam, MsgLParam) {
    if (TimerId(wParam) != kNewsNotifyTimer)
        return 0;
    if (counter > lifetime) {
        StopTimer(kNewsNotifyTimer);
        End(IDOK);
        return 0;
    }
    ++counter;
    // Back on top of any top-most window that covered it meanwhile.
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return 0;
}

MsgResult CDlgNewsNotify::OnCtlColor(MsgWParam wParam, MsgLParam lParam) {
    HDC dc = DrawingContext(wParam);
    const int id = GetDlgCtrlID(ColouredControl(lParam));
    if (id == IDC_NEWS_ITEM)
        SetTextColor(dc, kItemColour);
    else if (id == IDC_NEWS_TIME)
        SetTextColor(dc, kTimeColour);
    else if (id == IDC_NEWS_UPDATED)
        SetTextColor(dc, kUpdatedColour);
    SetBkMode(dc, TRANSPARENT);
    return BrushResult(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
}

MsgResult CDlgNewsNotify::OnEraseBackground(MsgWParam, MsgLParam) {
    return TRUE;
}

MsgResult CDlgNewsNotify::OnPaint(MsgWParam, MsgLParam) {
    background.PaintWindow(Handle());
    return 0;
}

MsgResult CDlgNewsNotify::OnView(MsgWParam, MsgLParam) {
    OpenNewsWindow();
    End(IDOK);
    return 0;
}

MsgResult CDlgNewsNotify::OnClose(MsgWParam, MsgLParam) {
    End(IDCANCEL);
    return 0;
}

MsgResult CDlgNewsNotify::OnDestroy(MsgWParam, MsgLParam) {
    if (BarPopupWindow() == Handle())
        BarPopupWindow() = nullptr;
    background.Release();
    return 0;
}
