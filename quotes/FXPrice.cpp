#include "quotes/FXPrice.h"
#include "platform/Text.h"
#include "quotes/FXData.h"
#include "quotes/PriceFormat.h"
#include <unordered_set>

namespace {
constexpr std::size_t kMinJoinedSymbols = 5;

// A match at the very start of a page does not count: real pages begin with markup.
std::size_t FindAfterStart(const std::string& text, const std::string& what) {
    return text.find(what, 1);
}

bool Holds(const std::string& text, const std::string& what) {
    return FindAfterStart(text, what) != std::string::npos;
}

// The six characters after the marker, cut before a double quote and then before "&".
std::string CodeAt(const std::string& page, std::size_t start) {
    std::string code = page.substr(start, kSymbolCodeLength);
    code = code.substr(0, code.find('"'));
    return code.substr(0, code.find('&'));
}

// The text between the key and the next "<"; nothing when either is missing.
bool PriceCell(const std::string& page, const std::string& key, std::string& cell) {
    const std::size_t at = FindAfterStart(page, key);
    if (at == std::string::npos)
        return false;
    const std::size_t begin = at + key.size();
    const std::size_t end = page.find('<', begin);
    if (end == std::string::npos)
        return false;
    cell = page.substr(begin, end - begin);
    return true;
}
} // namespace

CFXPrice::CFXPrice() : CFXPrice(QuotePageText(1), QuotePageText(2)) {}

CFXPrice::CFXPrice(std::shared_ptr<SharedText> page1, std::shared_ptr<SharedText> page2)
    : page1(std::move(page1)), page2(std::move(page2)) {}

int CFXPrice::FailureStatus(const std::string& page) const {
    return Holds(page, "HTTP ") && Holds(page, "404") ? kPageChangedStatus : kNoPriceDataStatus;
}

bool CFXPrice::GetSymbols(std::vector<std::string>& symbols) {
    if (listKept) {
        symbols.insert(symbols.end(), cache.begin(), cache.end());
        return true;
    }
    // One snapshot of each page for the whole pass.
    const std::shared_ptr<const std::string> first = page1->Get();
    const std::shared_ptr<const std::string> second = page2->Get();
    cache.clear();
    page1GaveSymbols = page2GaveSymbols = listKept = false;
    std::unordered_set<std::string> seen; // a page of many codes must not cost their square
    std::string joined;
    const std::string marker = kSymbolMarker;
    for (const std::string* page : {first.get(), second.get()}) {
        bool gave = false;
        for (std::size_t at = FindAfterStart(*page, marker); at != std::string::npos;
             at = page->find(marker, at + 1)) {
            const std::string code = CodeAt(*page, at + marker.size());
            if (code.empty())
                continue;
            // A page whose codes all stand on page 1 already still gave its symbols.
            gave = true;
            if (!seen.insert(code).second)
                continue;
            symbols.push_back(code);
            cache.push_back(code);
            joined += joined.empty() ? code : "," + code;
        }
        (page == first.get() ? page1GaveSymbols : page2GaveSymbols) = gave;
    }
    if (page1GaveSymbols && page2GaveSymbols && joined.size() >= kMinJoinedSymbols) {
        symbolListTried = true;
        listKept = true;
        status = 0;
        return true;
    }
    if (first->empty() || second->empty()) {
        status = 0;
        return false;
    }
    status = FailureStatus(*first);
    symbolListTried = true;
    symbols.emplace_back(kPriceError);
    return false;
}

int CFXPrice::FindRow(const std::string& symbol) {
    if (symbol.empty())
        return -1;
    std::vector<std::string> symbols;
    GetSymbols(symbols);
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        if (EqualsNoCase(symbols[i], symbol))
            return static_cast<int>(i);
    }
    return -1;
}

std::string CFXPrice::GetPrice(const std::string& symbol, int) {
    const std::shared_ptr<const std::string> first = page1->Get();
    const std::shared_ptr<const std::string> second = page2->Get();
    const std::string key = ToUpperAscii(symbol) + kPriceKeyTail;
    std::string result = kNoPriceYet;
    PriceCell(*first, key, result);
    if (result == kNoPriceYet || result.empty())
        PriceCell(*second, key, result);
    if (result.size() > kMaxPriceCellLength)
        result = kPriceError;
    if (result != kNoPriceYet && !result.empty()) {
        pricesReceived = true;
        status = 0;
    } else if (first->empty()) {
        status = 0;
    } else {
        result = kPriceError;
        status = FailureStatus(*first);
    }
    return FormatPrice(symbol, result);
}

CFXPrice& FXPrice() {
    static CFXPrice parser;
    return parser;
}
