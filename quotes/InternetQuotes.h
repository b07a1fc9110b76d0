#pragma once
#include "quotes/FXData.h"
#include "quotes/FXPrice.h"
#include <array>
#include <string>

// States of the main window's two page readers.
inline constexpr int kReaderIdle = 0;
inline constexpr int kReaderRequested = 100;

// The main window as the Internet path uses it.
class QuoteWindow {
public:
    virtual ~QuoteWindow() = default;
    virtual WindowHandle Handle() = 0;
    virtual bool ColumnsReady() = 0;
    // The pages have given their symbols: mark the columns ready and build them.
    virtual void BuildColumnsFromPages() = 0;
    virtual void SetMessageRow(const std::string& text) = 0;
    virtual void StopMainTimer() = 0;
    virtual void StartMainTimer() = 0;
};

// One price column's texts for the refresh.
struct InternetCell {
    std::string previous; // the cell as the alerts compare it
    std::string price;    // what the cell shows now
};

// "http://" + the service's host:port + the path.
std::string ServiceUrl(const std::string& path);

// Drops a fractional pip the page still carries: an odd number of digits after the point,
// more than the symbol shows (1.23456 gives 1.2345, while gold's one decimal stays).
std::string NormaliseInternetDigits(const std::string& symbol, std::string price);

// The main window's Internet quote path: when to download the two pages, what each
// finished page means for the quote table, and the price of each column.
//
// The first refresh starts both pages asynchronously and stops the main timer; when both
// have completed the timer runs again. Later refreshes download each idle page waited,
// with the window's messages going on meanwhile.
class CInternetQuotes {
public:
    // Registers the parser as the program's Internet price source.
    explicit CInternetQuotes(CFXPrice& parser = FXPrice());
    ~CInternetQuotes();
    CInternetQuotes(const CInternetQuotes&) = delete;
    CInternetQuotes& operator=(const CInternetQuotes&) = delete;

    // The downloads of a refresh; true when the price columns are to be filled now.
    bool Refresh(QuoteWindow& window);
    // The texts of the column of `symbol` whose cell shows `cellText`.
    InternetCell ReadCell(const std::string& symbol, const std::string& cellText);
    // A page reader's completion message; page 1 or 2, lParam the status.
    void OnPageDone(QuoteWindow& window, int page, int status);

    int ReaderState(int page) const { return states[Index(page)]; }
    // Until the first round's pages have come back, a source without symbols has not failed.
    bool FirstRoundPending() const { return !started || firstRound; }
    CDownloader& Reader(int page);
    // Tests point the readers elsewhere; by default the service's two quote pages.
    void SetPageAddresses(std::string page1, std::string page2);

private:
    static std::size_t Index(int page) { return page == 2 ? 1 : 0; }
    std::string PageAddress(int page) const;
    bool Download(QuoteWindow& window, int page, bool wait);
    std::string FailureText(int page, int status);
    void ShowFailureBox(const std::string& text);

    CFXPrice& parser;
    CFXData1 reader1;
    CFXData2 reader2;
    std::array<int, 2> states{kReaderIdle, kReaderIdle};
    std::array<std::string, 2> addresses;
    bool started = false;    // the first, asynchronous round has been started
    bool firstRound = false; // ... and the main timer waits for it
    bool failureBoxOpen = false;
};
