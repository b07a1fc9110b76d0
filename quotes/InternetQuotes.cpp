#include "quotes/InternetQuotes.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "quotes/PriceFormat.h"
#include "settings/AppConfig.h"
#include "settings/Log.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

namespace {
constexpr const char* kStatusPlaceholder = "%d";

// No worker runs after these, so no completion message will come.
bool StartedNothing(int status) {
    return status == kDownloadBusy || status == kDownloadNoThread || status == kDownloadFileExists;
}
} // namespace

std::string ServiceUrl(const std::string& path) {
    return WithHttpScheme(AppConfig().serviceAddress + path);
}

std::string NormaliseInternetDigits(const std::string& symbol, std::string price) {
    const std::size_t point = price.find('.');
    if (point == std::string::npos || point == 0)
        return price;
    const std::size_t digits = price.size() - point - 1;
    if (digits % 2 == 1 && digits > static_cast<std::size_t>(DecimalsFor(symbol)))
        price.pop_back();
    return price;
}

CInternetQuotes::CInternetQuotes(CFXPrice& parser) : parser(parser) {
    SetInternetPriceSource(&parser);
}

CInternetQuotes::~CInternetQuotes() {
    SetInternetPriceSource(nullptr);
}

CDownloader& CInternetQuotes::Reader(int page) {
    if (page == 2)
        return reader2;
    return reader1;
}

void CInternetQuotes::SetPageAddresses(std::string page1, std::string page2) {
    addresses = {std::move(page1), std::move(page2)};
}

std::string CInternetQuotes::PageAddress(int page) const {
    const std::string& given = addresses[Index(page)];
    if (!given.empty())
        return given;
    return ServiceUrl(page == 2 ? AppConfig().quotePage2Path : AppConfig().quotePage1Path);
}

bool CInternetQuotes::Download(QuoteWindow& window, int page, bool wait) {
    const std::string address = PageAddress(page);
    if (page == 2)
        return reader2.Download(window.Handle(), address, "", true, wait);
    return reader1.Download(window.Handle(), address, "", true, wait);
}

bool CInternetQuotes::Refresh(QuoteWindow& window) {
    if (!started) {
        started = true;
        int pending = 0;
        for (int page : {1, 2}) {
            states[Index(page)] = kReaderRequested;
            Download(window, page, false);
            if (Reader(page).Status() == kDownloadPending) {
                ++pending;
            } else {
                states[Index(page)] = kReaderIdle;
                WriteLog(Reader(page).GetErrorText());
            }
        }
        // Without a pending page no completion would ever start the timer again.
        if (pending > 0) {
            firstRound = true;
            window.StopMainTimer();
        }
        return false;
    }
    for (int page : {1, 2}) {
        if (states[Index(page)] != kReaderIdle)
            continue;
        states[Index(page)] = kReaderRequested;
        if (Download(window, page, true))
            continue;
        const int status = Reader(page).Status();
        if (StartedNothing(status))
            states[Index(page)] = kReaderIdle;
        if (status != kDownloadPending)
            ShowFailureBox(Reader(page).GetErrorText(status));
    }
    // A message row stays until the columns are built again.
    return window.ColumnsReady();
}

InternetCell CInternetQuotes::ReadCell(const std::string& symbol, const std::string& cellText) {
    InternetCell cell;
    cell.previous = cellText == GetText(kTextReceivingPrices) ? "0" : cellText;
    cell.price = NormaliseInternetDigits(symbol, parser.GetPrice(symbol, -1));
    return cell;
}

void CInternetQuotes::OnPageDone(QuoteWindow& window, int page, int status) {
    Reader(page).ClearBusy();
    std::string message;
    if (status == kDownloadOk && !window.ColumnsReady()) {
        std::vector<std::string> symbols;
        if (parser.GetSymbols(symbols))
            window.BuildColumnsFromPages();
        else if (parser.Status() != 0)
            message = GetText(parser.Status());
    }
    states[Index(page)] = kReaderIdle;
    if (status != kDownloadOk)
        message = FailureText(page, status);
    if (!message.empty()) {
        window.SetMessageRow(message);
        WriteLog(message);
    }
    if (firstRound && states[0] == kReaderIdle && states[1] == kReaderIdle) {
        firstRound = false;
        window.StartMainTimer();
    }
}

std::string CInternetQuotes::FailureText(int page, int status) {
    if (status != kDownloadOpenFailed && status != kDownloadUrlFailed)
        return Reader(page).GetErrorText(status);
    const std::string text = GetMessage(kMsgPageFailed);
    const std::string placeholder = kStatusPlaceholder;
    const std::size_t at = text.find(placeholder);
    if (at == std::string::npos)
        return text;
    return text.substr(0, at) + std::to_string(status) + text.substr(at + placeholder.size());
}

void CInternetQuotes::ShowFailureBox(const std::string& text) {
    // A dead server fails on every tick; one box at a time is enough.
    if (failureBoxOpen)
        return;
    failureBoxOpen = true;
    ShowMessageBox(text, GetMessage(kMsgProgramTitle));
    failureBoxOpen = false;
}
