#pragma once
#include "quotes/Downloader.h"
#include "quotes/PriceLookup.h"
#include <memory>
#include <string>
#include <vector>

// Parser statuses: the numbers of the UI texts the main window shows for them.
inline constexpr int kPageChangedStatus = 58; // page 1 is a "not found" page
inline constexpr int kNoPriceDataStatus = 59;

inline constexpr const char* kSymbolMarker = "embedquote.aspx?code=";
inline constexpr std::size_t kSymbolCodeLength = 6;
inline constexpr std::size_t kMaxPriceCellLength = 10;
// What follows a symbol on the page, up to its price cell.
inline constexpr const char* kPriceKeyTail =
    "</a></td><td width=\"2\" bgcolor=\"#6FC8DB\"></td><td align=left>"
    "<span style='padding-left:14px'>";

// The Internet quote source: symbols and prices read from the last downloaded texts of
// the two quote pages.
class CFXPrice final : public PriceSource {
public:
    CFXPrice(); // on the process-wide page texts
    CFXPrice(std::shared_ptr<SharedText> page1, std::shared_ptr<SharedText> page2);

    // The codes of page 1, then the new ones of page 2. Once both pages have given
    // symbols the list is kept for the life of the object.
    bool GetSymbols(std::vector<std::string>& symbols) override;
    // Position in the symbol list, letters compared without case.
    int FindRow(const std::string& symbol) override;
    // The price cell of the symbol on page 1, else page 2, formatted; "..." while page 1
    // is empty, "Error" when the pages do not hold it.
    std::string GetPrice(const std::string& symbol, int row = -1) override;

    int Status() const { return status; } // of the last lookup: 0, 58 or 59
    bool PricesReceived() const { return pricesReceived; }
    bool SymbolListTried() const { return symbolListTried; }

private:
    int FailureStatus(const std::string& page1) const;

    std::shared_ptr<SharedText> page1;
    std::shared_ptr<SharedText> page2;
    bool pricesReceived = false;
    int status = 0;
    std::vector<std::string> cache;
    bool page1GaveSymbols = false;
    bool page2GaveSymbols = false;
    bool listKept = false; // the last pass gave a list: it stands until the object goes
    bool symbolListTried = false;
};

// The process's Internet quote source.
CFXPrice& FXPrice();
