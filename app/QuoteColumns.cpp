#include "app/QuoteColumns.h"
#include "platform/Text.h"

namespace {
constexpr std::size_t kShortSymbol = 8;
constexpr std::size_t kMediumSymbol = 10;
constexpr int kShortSymbolWidth = 70;
constexpr int kMediumSymbolWidth = 80;
constexpr int kLongSymbolWidth = 100;
} // namespace

int DefaultColumnWidth(const std::string& firstSymbol) {
    if (firstSymbol.size() < kShortSymbol)
        return kShortSymbolWidth;
    if (firstSymbol.size() < kMediumSymbol)
        return kMediumSymbolWidth;
    return kLongSymbolWidth;
}

std::vector<int> ChooseColumnWidths(const std::vector<std::string>& symbols,
                                    const std::string& savedWidths, int dpi) {
    const std::vector<std::string> saved = SplitList(savedWidths);
    std::vector<int> widths;
    if (symbols.empty())
        return widths;
    if (saved.size() != symbols.size()) {
        widths.assign(symbols.size(), ScaledPixels(DefaultColumnWidth(symbols.front()), dpi));
        return widths;
    }
    for (const auto& text : saved) {
        const int width = LeadingInteger<int>(text);
        widths.push_back(width < kMinColumnWidth ? kMinColumnWidth : width);
    }
    return widths;
}

std::string WidthsText(const std::vector<int>& widths) {
    std::string text;
    for (const int width : widths)
        text += std::to_string(width) + ",";
    return text;
}

ColumnPlan PlanColumns(const std::string& displayList, const std::string& savedWidths,
                       const std::vector<std::string>& terminalSymbols, bool timeColumn, int dpi) {
    ColumnPlan plan;
    plan.symbols = SplitList(displayList);
    if (displayList.size() < 2 || plan.symbols.empty()) {
        plan.symbols.clear();
        for (const auto& symbol : terminalSymbols) {
            if (plan.symbols.size() == kMaxTerminalSymbols)
                break;
            if (!symbol.empty())
                plan.symbols.push_back(symbol);
        }
        plan.fromTerminal = true;
        plan.newDisplayList = JoinList(plan.symbols);
    }
    plan.widths = ChooseColumnWidths(plan.symbols, savedWidths, dpi);
    plan.barWidth = ScaledPixels(timeColumn ? kBarMarginWithTime : kBarMargin, dpi);
    for (const int width : plan.widths)
        plan.barWidth += width;
    return plan;
}
