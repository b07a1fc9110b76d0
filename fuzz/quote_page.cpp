// The quote page parser over two fuzzed pages: the symbol list and the price of each.
#include "FuzzInput.h"
#include "platform/Text.h"
#include "quotes/FXPrice.h"
#include "quotes/InternetQuotes.h"
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = InputParts(data, size, 3);
    auto page1 = std::make_shared<SharedText>();
    auto page2 = std::make_shared<SharedText>();
    page1->Set(parts[0]);
    page2->Set(parts[1]);
    CFXPrice parser(page1, page2);

    std::vector<std::string> symbols;
    const bool gave = parser.GetSymbols(symbols);
    if (gave) {
        std::set<std::string> seen;
        for (const std::string& code : symbols) {
            FUZZ_CHECK(!code.empty() && code.size() <= kSymbolCodeLength);
            FUZZ_CHECK(code.find_first_of("\"&") == std::string::npos);
            FUZZ_CHECK(seen.insert(code).second); // no code twice
        }
        std::vector<std::string> again; // the kept list
        FUZZ_CHECK(parser.GetSymbols(again) && again == symbols);
    }
    std::size_t looked = 0;
    for (const std::string& code : symbols) {
        if (++looked > 8)
            break;
        const int row = parser.FindRow(code);
        FUZZ_CHECK(row >= 0 && EqualsNoCase(symbols[static_cast<std::size_t>(row)], code));
        const std::string price = parser.GetPrice(code, row);
        FUZZ_CHECK(!price.empty());
        NormaliseInternetDigits(code, price);
    }
    NormaliseInternetDigits(parts[2], parser.GetPrice(parts[2]));
    parser.FindRow(parts[2]);
    return 0;
}
