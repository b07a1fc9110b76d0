#pragma once
// Keys of the main settings file that the price bar and its start-up own. Values are text;
// a missing key reads as "".
namespace barkey {
// Place and size of the bar.
inline constexpr const char* kX = "X";
inline constexpr const char* kY = "Y";
inline constexpr const char* kWidth = "W";
inline constexpr const char* kHeight = "H";
// "0" while the bar is hidden and only floating windows show prices.
inline constexpr const char* kDisplay = "DISPLAY";
inline constexpr const char* kHiddenSince = "HBARTIME";
// The floating windows open at the end, and the last ones closed.
inline constexpr const char* kFloatWindows = "POPWIN";
inline constexpr const char* kLastClosedWindows = "LASTCLSWIN";
inline constexpr const char* kLastClosedTime = "LASTCLSTIME";
inline constexpr const char* kDataSource = "SOURCE";
inline constexpr const char* kOptionsShown = "SHOWOPTION";
// "0" while a window that must stay above the bar is open.
inline constexpr const char* kBringToTop = "PriceBarBringToTop";
// The quote table.
inline constexpr const char* kDisplayList = "DisplayCurrency";
inline constexpr const char* kColumnWidths = "ColumnWidth";
inline constexpr const char* kLastColumnCount = "LASTCOLNUM";
// The pair and the window a "New Order" command comes from.
inline constexpr const char* kOrderSymbol = "ORDERSYMBOL";
inline constexpr const char* kOrderFrom = "ORDERFROM";
inline constexpr const char* kOrderFromBar = "BAR";
inline constexpr const char* kOrderFromFloat = "FLOAT";
// For tests only: "1" makes the feed guard see the market open on a weekend too.
inline constexpr const char* kTestMarketOpen = "TestMarketOpen";
// For tests only: the terminal tick in milliseconds, so that a long run fits in less time.
// Honoured only as a whole number from kTestTickMinMs to the normal period; absent in use.
inline constexpr const char* kTestTickMs = "TestTickMs";
inline constexpr int kTestTickMinMs = 50;
} // namespace barkey
