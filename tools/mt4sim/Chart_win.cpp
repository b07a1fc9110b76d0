#include "platform/Text.h"
#include "tools/mt4sim/SimWindows_win.h"

#include <algorithm>

namespace {

constexpr const wchar_t* kChartClass = L"AfxFrameOrView42";
constexpr std::size_t kChartHistory = 400;
constexpr int kChartStepPixels = 3;
constexpr int kChartMargin = 24;
constexpr int kChartGridLines = 6;
constexpr COLORREF kChartBack = RGB(0, 0, 0);
constexpr COLORREF kChartGrid = RGB(40, 60, 40);
constexpr COLORREF kChartLine = RGB(0, 220, 0);
constexpr COLORREF kChartText = RGB(220, 220, 220);

HFONT chartFont = nullptr;

void PaintChart(HWND chart, HDC dc, const SimChartData& data) {
    RECT client{};
    GetClientRect(chart, &client);
    HBRUSH back = CreateSolidBrush(kChartBack);
    FillRect(dc, &client, back);
    DeleteObject(back);

    HPEN grid = CreatePen(PS_DOT, 1, kChartGrid);
    HGDIOBJ oldPen = SelectObject(dc, grid);
    for (int i = 1; i < kChartGridLines; ++i) {
        const int y = client.bottom * i / kChartGridLines;
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, client.right, y);
    }
    SelectObject(dc, oldPen);
    DeleteObject(grid);

    HGDIOBJ oldFont = SelectObject(dc, chartFont ? chartFont : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kChartText);
    const std::wstring label = Widen(data.symbol + ",M1");
    TextOutW(dc, 6, 4, label.c_str(), static_cast<int>(label.size()));
    SelectObject(dc, oldFont);

    const int width = client.right - 2 * kChartMargin;
    const int height = client.bottom - 2 * kChartMargin;
    const std::size_t fit = width > 0 ? static_cast<std::size_t>(width / kChartStepPixels) : 0;
    const std::size_t shown = std::min(fit, data.bids.size());
    if (shown < 2 || height <= 0)
        return;
    const auto first = data.bids.end() - static_cast<std::ptrdiff_t>(shown);
    const auto [low, high] = std::minmax_element(first, data.bids.end());
    const std::int64_t range = std::max<std::int64_t>(*high - *low, 1);
    HPEN line = CreatePen(PS_SOLID, 1, kChartLine);
    oldPen = SelectObject(dc, line);
    int x = kChartMargin;
    for (auto it = first; it != data.bids.end(); ++it, x += kChartStepPixels) {
        const int y = kChartMargin + static_cast<int>((*high - *it) * height / range);
        if (it == first)
            MoveToEx(dc, x, y, nullptr);
        else
            LineTo(dc, x, y);
    }
    SelectObject(dc, oldPen);
    DeleteObject(line);
}

LRESULT CALLBACK ChartProc(HWND chart, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(chart, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(chart, &paint);
        if (const auto* data =
                reinterpret_cast<const SimChartData*>(GetWindowLongPtrW(chart, GWLP_USERDATA)))
            PaintChart(chart, dc, *data);
        EndPaint(chart, &paint);
        return 0;
    } else if (message == WM_ERASEBKGND) {
        return 1;
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(chart, GWLP_USERDATA, 0);
    }
    return DefWindowProcW(chart, message, wParam, lParam);
}

} // namespace

bool RegisterChartClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ChartProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    windowClass.lpszClassName = kChartClass;
    return RegisterClassExW(&windowClass) != 0;
}

HWND CreateChart(HWND parent, SimChartData* data, HFONT font) {
    chartFont = font;
    // Titled like a chart window: "EURUSD,M1" holds no ':' and so never looks like a
    // Market Watch to the reader.
    return CreateWindowExW(WS_EX_CLIENTEDGE, kChartClass, Widen(data->symbol + ",M1").c_str(),
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, nullptr,
                           GetModuleHandleW(nullptr), data);
}

void AddChartBid(HWND chart, SimChartData& data, std::int64_t bid) {
    if (!data.bids.empty() && data.bids.back() == bid) // a tick chart: changes only
        return;
    data.bids.push_back(bid);
    if (data.bids.size() > kChartHistory)
        data.bids.pop_front();
    InvalidateRect(chart, nullptr, FALSE);
}
