#include "app/QuoteColumns.h"
#include <cctype>
#include <climits>

namespace {
constexpr std::size_t kShortSymbol = 8;
constexpr std::size_t kMediumSymbol = 10;
constexpr int kShortSymbolWidth = 70;
constexpr int kMediumSymbolWidth = 80;
constexpr int kLongSymbolWidth = 100;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

std::optional<int> ParseDecimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const std::size_t digitsStart = i;
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i++] - '0');
        if (value > INT_MAX)
            return std::nullopt;
    }
    if (i == digitsStart)
        return std::nullopt;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i != text.size())
        return std::nullopt;
    return static_cast<int>(negative ? -value : value);
}

int LeadingDecimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i++] - '0');
        if (value > INT_MAX)
            value = INT_MAX; // saturate rather than wrap
    }
    return static_cast<int>(negative ? -value : value);
}

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = list.find(',', start);
        const std::size_t end = comma == std::string::npos ? list.size() : comma;
        if (end > start)
            entries.push_back(list.substr(start, end - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return entries;
}

std::string JoinList(const std::vector<std::string>& entries) {
    std::string list;
    for (const auto& entry : entries)
        list += entry + ",";
    return list;
}

int DefaultColumnWidth(const std::string& firstSymbol) {
    if (firstSymbol.size() < kShortSymbol)
        return kShortSymbolWidth;
    if (firstSymbol.size() < kMediumSymbol)
        return kMediumSymbolWidth;
    return kLongSymbolWidth;
}

std::vector<int> ChooseColumnWidths(const std::vector<std::string>& symbols,
                                    const std::string& savedWidths) {
    const std::vector<std::string> saved = SplitList(savedWidths);
    std::vector<int> widths;
    if (symbols.empty())
        return widths;
    if (saved.size() != symbols.size()) {
        widths.assign(symbols.size(), DefaultColumnWidth(symbols.front()));
        return widths;
    }
    for (const auto& text : saved) {
        const int width = LeadingDecimal(text);
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
                       const std::vector<std::string>& terminalSymbols, bool timeColumn) {
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
    plan.widths = ChooseColumnWidths(plan.symbols, savedWidths);
    plan.barWidth = timeColumn ? kBarMarginWithTime : kBarMargin;
    for (const int width : plan.widths)
        plan.barWidth += width;
    return plan;
}
