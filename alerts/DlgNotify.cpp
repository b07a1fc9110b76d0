#include "alerts/DlgNotify.h"
#include "alerts/NotifyPopup.h"
#include "controls/Skin.h"
#include "platform/AlertControls.h"
#include "platform/Dpi_win.h"
#include "platform/Font_win.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "resources/notify_resource.h"
#include "settings/Config.h"
#include "settings/KindTextIds.h"
#include "settings/OptionKeys.h"
#include <algorithm>
#include <utility>
#include <vector>
#include "settings/LangTable.h"

namespace {
constexpr COLORREF kTimeColour = RGB(128, 128, 128);
constexpr COLORREF kSymbolColour = RGB(0, 150, 0);
constexpr COLORREF kPriceColour = RGB(0, 0, 255);
constexpr int kLabelFontHeight = 20;
constexpr int kMessageFontHeight = 16;
// The snooze row, in pixels at 96 dpi: its height, its gap above the popup's bottom edge,
// its left margin and the room between its words.
constexpr int kSnoozeRowHeight = 16;
constexpr int kSnoozeRowGap = 6;
constexpr int kSnoozeRowLeft = 8;
constexpr int kSnoozeWordGap = 10;
constexpr COLORREF kSnoozeColour = RGB(0, 0, 255);

struct SnoozeItem {
    int id;
    int text;
    SnoozeChoice choice;
};
constexpr SnoozeItem kSnoozeItems[] = {
    {IDC_NOTIFY_SNOOZE_QUARTER, kTextSnoozeQuarter, SnoozeChoice::QuarterHour},
    {IDC_NOTIFY_SNOOZE_HOUR, kTextSnoozeHour, SnoozeChoice::Hour},
    {IDC_NOTIFY_SNOOZE_TOMORROW, kTextSnoozeTomorrow, SnoozeChoice::Tomorrow},
};

std::function<void()>& OpenAlertsListAction() {
    static std::function<void()> action;
    return action;
}

} // namespace

const MessageMap<CDlgNotify> CDlgNotify::messages = {
    onMessage(WM_INITDIALOG, &CDlgNotify::OnInitDialog, "CDlgNotify"),
    onMessage(WM_TIMER, &CDlgNotify::OnTimer, "OnTimer"),
    onMessage(WM_CTLCOLORSTATIC, &CDlgNotify::OnCtlColor, "OnCtlColor"),
    onMessage(WM_CTLCOLOREDIT, &CDlgNotify::OnCtlColor, "OnCtlColor"),
    onMessage(WM_ERASEBKGND, &CDlgNotify::OnEraseBackground, "OnEraseBkgnd"),
    onMessage(WM_PAINT, &CDlgNotify::OnPaint, "OnPaint"),
    onMessage(WM_LBUTTONDOWN, &CDlgNotify::OnLeftButtonDown, "OnLButtonDown"),
    onMessage(WM_CLOSE, &CDlgNotify::OnClose, "OnClose"),
    onMessage(WM_DESTROY, &CDlgNotify::OnDestroy, "OnDestroy"),
    onCommand(IDC_NOTIFY_CLOSE, STN_CLICKED, &CDlgNotify::OnCloseIcon, "OnCloseIcon"),
    onCommand(IDC_NOTIFY_MESSAGE, EN_SETFOCUS, &CDlgNotify::OnMessageFocus, "OnSetfocusMessage"),
    onCommand(IDC_NOTIFY_SNOOZE_QUARTER, STN_CLICKED, &CDlgNotify::OnSnooze, "OnSnooze"),
    onCommand(IDC_NOTIFY_SNOOZE_HOUR, STN_CLICKED, &CDlgNotify::OnSnooze, "OnSnooze"),
    onCommand(IDC_NOTIFY_SNOOZE_TOMORROW, STN_CLICKED, &CDlgNotify::OnSnooze, "OnSnooze"),
};

CDlgNotify::CDlgNotify(std::string symbol, std::string price, std::string message)
    : DialogOf(IDD_NOTIFY), symbol(std::move(symbol)), price(std::move(price)),
      message(std::move(message)) {}

CDlgNotify::~CDlgNotify() {
    background.Release();
}

void CDlgNotify::Open(const std::string& symbol, const std::string& price,
                      const std::string& message, std::function<void()> clicked,
                      SnoozeAction snooze) {
    auto* popup = new CDlgNotify(symbol, price, message);
    popup->clicked = std::move(clicked);
    popup->snooze = std::move(snooze);
    if (!popup->Create(nullptr)) {
        delete popup;
        return;
    }
    ShowWindow(popup->Handle(), SW_SHOW);
    // A window wholly off the screen may never be painted (Wine does not paint it), so
    // the first paint cannot be relied on to place it.
    if (popup->Handle() && !popup->placed)
        popup->Place();
}

void CDlgNotify::SetOpenAlertsList(std::function<void()> open) {
    OpenAlertsListAction() = std::move(open);
}

// Opened with new and never held by anyone: the popup goes with its window.
void CDlgNotify::OnFinalMessage() {
    delete this;
}

MsgResult CDlgNotify::OnInitDialog(MsgWParam, MsgLParam) {
    for (int label : {IDC_NOTIFY_TIME, IDC_NOTIFY_SYMBOL, IDC_NOTIFY_PRICE})
        ExcludeFromSkin(Item(label));
    // Out of sight in the bottom-right corner until the first paint places it.
    SetWindowPos(Handle(), HWND_TOPMOST, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ShapeWindow();
    SetMark();
    CreateFonts();
    FillLabels();
    StartCloseTimer();
    return TRUE;
}

void CDlgNotify::ShapeWindow() {
    if (background.Apply(Handle(), IDB_NOTIFY_BACKGROUND))
        backgroundSize = background.Size();
}

// Loaded here rather than by the control from the template: Wine's static control never
// frees a bitmap it loaded, one for every popup shown.
void CDlgNotify::SetMark() {
    const HBITMAP mark = Own(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_NOTIFY_MARK), IMAGE_BITMAP, 0, 0, 0)));
    SendMessageW(Item(IDC_NOTIFY_MARK), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(mark));
}

void CDlgNotify::CreateFonts() {
    labelFont = Own(MakeFont(L"Arial", ScaleForDpi(kLabelFontHeight), FW_BOLD));
    messageFont = Own(MakeFont(L"Arial", ScaleForDpi(kMessageFontHeight), FW_NORMAL));
}

void CDlgNotify::FillLabels() {
    SetWindowTextW(Item(IDC_NOTIFY_TIME), Widen(LocaleTimeOfDay()).c_str());
    SetWindowTextW(Item(IDC_NOTIFY_SYMBOL), Widen(symbol).c_str());
    SetWindowTextW(Item(IDC_NOTIFY_PRICE), Widen(price).c_str());
    RedrawWindow(Item(IDC_NOTIFY_MESSAGE), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    for (int label : {IDC_NOTIFY_SYMBOL, IDC_NOTIFY_PRICE})
        SendMessageW(Item(label), WM_SETFONT, reinterpret_cast<WPARAM>(labelFont), TRUE);
    SendMessageW(Item(IDC_NOTIFY_MESSAGE), WM_SETFONT, reinterpret_cast<WPARAM>(messageFont), TRUE);
    SetWindowTextW(Item(IDC_NOTIFY_SNOOZE_LABEL), Widen(GetText(kTextSnoozeLabel)).c_str());
    for (const SnoozeItem& item : kSnoozeItems)
        SetWindowTextW(Item(item.id), Widen(GetText(item.text)).c_str());
}

void CDlgNotify::StartCloseTimer() {
    const int seconds = NotifyCloseSeconds(Config().Get(optkey::kPopupCloseSeconds));
    if (seconds > 0)
        StartTimer(kNotifyCloseTimer, static_cast<UINT>(seconds) * 1000u);
}

MsgResult CDlgNotify::OnTimer(MsgWParam wParam, MsgLParam) {
    if (TimerId(wParam) != kNotifyCloseTimer)
        return 0;
    StopTimer(kNotifyCloseTimer);
    End(IDOK);
    return 0;
}

MsgResult CDlgNotify::OnCtlColor(MsgWParam wParam, MsgLParam lParam) {
    HDC dc = DrawingContext(wParam);
    HWND control = ColouredControl(lParam);
    if (control == Item(IDC_NOTIFY_MESSAGE) && !placed)
        Place();
    const int id = GetDlgCtrlID(control);
    if (id == IDC_NOTIFY_TIME)
        SetTextColor(dc, kTimeColour);
    else if (id == IDC_NOTIFY_SYMBOL)
        SetTextColor(dc, kSymbolColour);
    else if (id == IDC_NOTIFY_PRICE)
        SetTextColor(dc, kPriceColour);
    else if (id != IDC_NOTIFY_SNOOZE_LABEL && id >= IDC_NOTIFY_SNOOZE_QUARTER &&
             id <= IDC_NOTIFY_SNOOZE_TOMORROW)
        SetTextColor(dc, kSnoozeColour);
    SetBkMode(dc, TRANSPARENT);
    return BrushResult(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
}

// Once, as the message first asks for its colours: the height follows its line count.
void CDlgNotify::Place() {
    placed = true;
    HWND edit = Item(IDC_NOTIFY_MESSAGE);
    SetWindowTextW(edit, Widen(message).c_str());
    int editLines = 0;
    if (message.empty())
        ShowWindow(edit, SW_HIDE);
    else
        editLines = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Laid out at 96 dpi, like the controls in dialog units, then scaled as a whole: the
    // background stretches to it.
    const NotifyRect rect =
        NotifyPlacement(UnscaleForDpi(screenWidth), UnscaleForDpi(screenHeight), backgroundSize.cx,
                        NotifyLines(!message.empty(), editLines));
    MoveWindow(Handle(), ScaleForDpi(rect.left), ScaleForDpi(rect.top),
               ScaleForDpi(rect.right - rect.left), ScaleForDpi(rect.bottom - rect.top), TRUE);
    MoveWindow(Item(IDC_NOTIFY_FOCUS), screenWidth, screenHeight, 0, 0, FALSE);
    if (snooze)
        PlaceSnoozeRow(ScaleForDpi(rect.bottom - rect.top));
}

// One line along the bottom, under the message, whose edit ends above it.
void CDlgNotify::PlaceSnoozeRow(int popupHeight) {
    const int rowTop = popupHeight - ScaleForDpi(kSnoozeRowGap + kSnoozeRowHeight);
    HWND edit = Item(IDC_NOTIFY_MESSAGE);
    RECT editPlace{};
    GetWindowRect(edit, &editPlace);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&editPlace), 2);
    if (editPlace.bottom > rowTop)
        MoveWindow(edit, editPlace.left, editPlace.top, editPlace.right - editPlace.left,
                   std::max(0, static_cast<int>(rowTop - editPlace.top)), FALSE);
    HDC dc = GetDC(Handle());
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    int left = ScaleForDpi(kSnoozeRowLeft);
    for (int id : {IDC_NOTIFY_SNOOZE_LABEL, IDC_NOTIFY_SNOOZE_QUARTER, IDC_NOTIFY_SNOOZE_HOUR,
                   IDC_NOTIFY_SNOOZE_TOMORROW}) {
        const std::wstring text = Widen(ControlText(Item(id)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        MoveWindow(Item(id), left, rowTop, size.cx + 2, ScaleForDpi(kSnoozeRowHeight), FALSE);
        ShowWindow(Item(id), SW_SHOW);
        left += size.cx + ScaleForDpi(kSnoozeWordGap);
    }
    SelectObject(dc, previous);
    ReleaseDC(Handle(), dc);
}

MsgResult CDlgNotify::OnEraseBackground(MsgWParam, MsgLParam) {
    return TRUE;
}

MsgResult CDlgNotify::OnPaint(MsgWParam, MsgLParam) {
    background.PaintWindow(Handle());
    return 0;
}

MsgResult CDlgNotify::OnLeftButtonDown(MsgWParam, MsgLParam) {
    const std::function<void()> action = clicked; // the window goes first
    if (!action)
        BringTerminalForward();
    DestroyWindow(Handle());
    if (action)
        action();
    return 0;
}

MsgResult CDlgNotify::OnCloseIcon(MsgWParam, MsgLParam) {
    DestroyWindow(Handle());
    return 0;
}

MsgResult CDlgNotify::OnMessageFocus(MsgWParam, MsgLParam) {
    if (!placed)
        return 0; // the focus passing through while the popup is being set up
    if (const auto& open = OpenAlertsListAction())
        open();
    DestroyWindow(Handle());
    return 0;
}

// The choice goes with the window: the alert is held, and the popup has done its work.
MsgResult CDlgNotify::OnSnooze(MsgWParam wParam, MsgLParam) {
    const SnoozeAction action = snooze;
    const int id = CommandId(wParam);
    DestroyWindow(Handle());
    for (const SnoozeItem& item : kSnoozeItems)
        if (item.id == id && action)
            action(item.choice);
    return 0;
}

MsgResult CDlgNotify::OnClose(MsgWParam, MsgLParam) {
    DestroyWindow(Handle());
    return 0;
}

MsgResult CDlgNotify::OnDestroy(MsgWParam, MsgLParam) {
    background.Release();
    return 0;
}
