// Place, size and drawing of the price bar.
#include "app/DlgQuote.h"
#include "app/QuoteColumns.h"
#include "platform/Dpi_win.h"
#include "platform/Font_win.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"

namespace {
constexpr UINT kColumnWidthDelayMs = 500;
constexpr COLORREF kLineColour = RGB(0x3B, 0x7D, 0xD8);
constexpr int kPriceFontHeight = -13;
constexpr int kButtonSize = 16;
constexpr int kButtonGap = 4;
constexpr int kButtonPanel = 2 * kButtonSize + 3 * kButtonGap; // right of the list

int ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void Resize(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
} // namespace

void CDlgQuote::CreateDrawingTools() {
    windowIcon = static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon));
    backgroundBrush = Own(CreateSolidBrush(kBarBackground));
    lineBrush = Own(CreateSolidBrush(kLineColour));
    priceFont = Own(MakeFont(L"Tahoma", ScaleForDpi(kPriceFontHeight), FW_BOLD, CLEARTYPE_QUALITY));
    quoteList.Attach(Item(IDC_QUOTE_LIST));
    trayIcon.SetOwner(Handle());
}

void CDlgQuote::ReleasePictures() {
    for (int id : {IDC_AUTOHIDE_ON, IDC_AUTOHIDE_OFF, IDC_ALERTS_PICTURE, IDC_OPTIONS_PICTURE,
                   IDC_CLOSE_PICTURE}) {
        HGDIOBJ image =
            reinterpret_cast<HGDIOBJ>(SendMessageW(Item(id), STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (image)
            DeleteObject(image);
    }
    if (windowIcon) {
        DestroyIcon(windowIcon);
        windowIcon = nullptr;
    }
    if (toolTips) {
        DestroyWindow(toolTips);
        toolTips = nullptr;
    }
}

void CDlgQuote::ApplyPlacement() {
    const RECT rect = WindowRect(Handle());
    const Placement placement = PlanPlacement(
        Config().Get(barkey::kX), Config().Get(barkey::kY), Config().Get(barkey::kWidth),
        Config().Get(barkey::kHeight), ScreenWidth(), rect.right - rect.left);
    if (placement.resize)
        SetWindowPos(Handle(), nullptr, placement.x, placement.y, placement.width, placement.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetWindowPos(Handle(), nullptr, placement.x, placement.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    placed = true;
}

MsgResult CDlgQuote::OnSize(MsgWParam, MsgLParam lParam) {
    const RECT rect = WindowRect(Handle());
    const int currentWidth = rect.right - rect.left;
    const int currentHeight = rect.bottom - rect.top;
    const SizeDecision size =
        DecideSize(currentWidth, currentHeight, ScreenWidth(), windowHeight, ScreenDpi());
    windowHeight = size.height;
    if (size.width != currentWidth || size.height != currentHeight)
        Resize(Handle(), size.width, size.height);
    LayoutControls(SizeWidth(lParam), SizeHeight(lParam));
    if (placed && size.width != windowWidth) {
        Config().SetInt(barkey::kWidth, size.width);
        Config().SetInt(barkey::kHeight, size.height);
    }
    return 0;
}

void CDlgQuote::LayoutControls(int width, int height) {
    const int size = ScaleForDpi(kButtonSize);
    const int gap = ScaleForDpi(kButtonGap);
    const int listWidth = std::max(0, width - ScaleForDpi(kButtonPanel));
    MoveWindow(Item(IDC_QUOTE_LIST), 0, 0, listWidth, height - 1, TRUE);
    const int column1 = listWidth + gap;
    const int column2 = column1 + size + gap;
    const int row1 = gap;
    const int row2 = row1 + size + gap;
    MoveWindow(Item(IDC_AUTOHIDE_ON), column1, row1, size, size, TRUE);
    MoveWindow(Item(IDC_AUTOHIDE_OFF), column1, row1, size, size, TRUE);
    MoveWindow(Item(IDC_CLOSE_PICTURE), column2, row1, size, size, TRUE);
    MoveWindow(Item(IDC_ALERTS_PICTURE), column1, row2, size, size, TRUE);
    MoveWindow(Item(IDC_OPTIONS_PICTURE), column2, row2, size, size, TRUE);
    MoveWindow(Item(IDC_LINE_PICTURE), 0, height - 1, width, 1, TRUE);
}

MsgResult CDlgQuote::OnMove(MsgWParam, MsgLParam) {
    autoHide.OnMoved();
    if (placed && !autoHide.Sliding()) {
        const RECT rect = WindowRect(Handle());
        Config().SetInt(barkey::kX, rect.left);
        Config().SetInt(barkey::kY, rect.top);
    }
    InvalidateRect(Handle(), nullptr, TRUE);
    return 0;
}

MsgResult CDlgQuote::OnColumnTrack(MsgWParam, MsgLParam) {
    StartTimer(kColumnWidthTimer, kColumnWidthDelayMs);
    PassOn(); // the header goes on tracking
    return 0;
}

// The user has dragged a column border: the widths are kept and the bar fits them.
void CDlgQuote::SaveColumnWidths() {
    int width = showTime ? kSavedWidthMarginWithTime : kSavedWidthMargin;
    std::vector<int> widths;
    for (int column = 0; column < quoteList.ColumnCount(); ++column) {
        widths.push_back(quoteList.ColumnWidth(column));
        width += widths.back();
    }
    Config().Set(barkey::kColumnWidths, WidthsText(widths));
    Resize(Handle(), width, windowHeight);
    StopTimer(kColumnWidthTimer);
}

MsgResult CDlgQuote::OnCtlColor(MsgWParam wParam, MsgLParam lParam) {
    if (ColouredControl(lParam) == Item(IDC_LINE_PICTURE))
        return BrushResult(lineBrush);
    SetBkColor(DrawingContext(wParam), kBarBackground);
    return BrushResult(backgroundBrush);
}

MsgResult CDlgQuote::OnEraseBackground(MsgWParam wParam, MsgLParam) {
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(DrawingContext(wParam), &client, backgroundBrush);
    return TRUE;
}

void CDlgQuote::RedrawLine() {
    RedrawWindow(Item(IDC_LINE_PICTURE), nullptr, nullptr,
                 RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

// The borderless bar is dragged by its body.
MsgResult CDlgQuote::OnLeftButtonDown(MsgWParam, MsgLParam lParam) {
    const ScreenPoint client = PointFromLParam(lParam);
    POINT point{client.x, client.y};
    ClientToScreen(Handle(), &point);
    PostMessageW(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    return 0;
}

MsgResult CDlgQuote::OnSetCursor(MsgWParam wParam, MsgLParam) {
    if (CursorWindow(wParam) == quoteList.Handle()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    PassOn();
    return 0;
}
