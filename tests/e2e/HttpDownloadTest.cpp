// The downloaders over WinINet against the local service (scripts/lib/service.sh).
#include "quotes/FXData.h"
#include "quotes/FXPrice.h"
#include "tests/e2e/HttpProbe.h"
#include <gtest/gtest.h>

namespace {
using namespace std::chrono_literals;
using e2e::MessageProbe;
using e2e::ServiceUrl;

constexpr auto kCompletionTimeout = 20s;

class HttpDownload : public ::testing::Test {
protected:
    void SetUp() override {
        if (ServiceUrl("/").empty())
            FAIL() << "PIPWARDEN_SERVICE is not set: start the service with scripts/lib/service.sh";
    }

    static std::string Page(int page) { return *QuotePageText(page)->Get(); }

    MessageProbe probe;
};

TEST_F(HttpDownload, AsyncPageCompletesWithStatus0AndThePageInPlace) {
    CFXData1 reader;
    EXPECT_FALSE(reader.Download(probe.Window(), ServiceUrl("/jb.aspx"), "", true, false));
    EXPECT_EQ(kDownloadPending, reader.Status());
    EXPECT_EQ("Asynchronism download, please wait.", reader.GetErrorText());
    ASSERT_TRUE(probe.PumpUntil(kQuotePage1DoneMessage, kCompletionTimeout));

    const e2e::ReceivedMessage* done = probe.First(kQuotePage1DoneMessage);
    EXPECT_EQ(0u, done->wParam);
    EXPECT_EQ(kDownloadOk, done->lParam);
    EXPECT_NE(std::string::npos, Page(1).find("embedquote.aspx?code=EURUSD"));
    const e2e::ReceivedMessage* progress = probe.First(kQuotePage1ProgressMessage);
    ASSERT_NE(nullptr, progress);
    EXPECT_EQ(Page(1).size(), progress->wParam); // the Content-Length

    EXPECT_TRUE(reader.IsBusy());
    reader.ClearBusy();
    EXPECT_FALSE(reader.IsBusy());
}

TEST_F(HttpDownload, SecondStartWhileBusyGives5) {
    CFXData2 reader;
    EXPECT_FALSE(
        reader.Download(probe.Window(), ServiceUrl("/x/slow700/jc.aspx"), "", true, false));
    EXPECT_FALSE(reader.Download(probe.Window(), ServiceUrl("/jc.aspx"), "", true, false));
    EXPECT_EQ(kDownloadBusy, reader.Status());
    ASSERT_TRUE(probe.PumpUntil(kQuotePage2DoneMessage, kCompletionTimeout));
    EXPECT_EQ(1u, probe.Count(kQuotePage2DoneMessage));
    reader.ClearBusy();
}

TEST_F(HttpDownload, WaitedDownloadsFeedTheParser) {
    CFXData1 reader1;
    CFXData2 reader2;
    ASSERT_TRUE(reader1.Download(probe.Window(), ServiceUrl("/jb.aspx"), "", true, true));
    ASSERT_TRUE(reader2.Download(probe.Window(), ServiceUrl("/jc.aspx"), "", true, true));
    EXPECT_FALSE(reader1.IsBusy());
    EXPECT_EQ(kDownloadOk, reader2.Status());

    CFXPrice parser(QuotePageText(1), QuotePageText(2));
    std::vector<std::string> symbols;
    ASSERT_TRUE(parser.GetSymbols(symbols));
    EXPECT_EQ("EURUSD", symbols.front());
    EXPECT_EQ(1, std::count(symbols.begin(), symbols.end(), "EURUSD")); // on both pages
    EXPECT_NE(symbols.end(), std::find(symbols.begin(), symbols.end(), "GOLD"));
    EXPECT_NE(symbols.end(), std::find(symbols.begin(), symbols.end(), "XAUUSD")); // page 2
    const std::string price = parser.GetPrice("EURUSD");
    ASSERT_EQ(6u, price.size()) << price;
    EXPECT_EQ("1.0", price.substr(0, 3));
    EXPECT_EQ(2u, parser.GetPrice("USDJPY").size() - parser.GetPrice("USDJPY").find('.') - 1);
}

TEST_F(HttpDownload, MissingContentLengthGives3AndAnEmptyPage) {
    CFXData1 reader;
    EXPECT_FALSE(
        reader.Download(probe.Window(), ServiceUrl("/x/nolength/jb.aspx"), "", true, true));
    EXPECT_EQ(kDownloadNoLength, reader.Status());
    EXPECT_EQ("Get Filesize Error.", reader.GetErrorText());
    EXPECT_EQ("", Page(1));
}

TEST_F(HttpDownload, ZeroByteEndsTheTextOfItsChunk) {
    CFXData1 reader;
    ASSERT_TRUE(reader.Download(probe.Window(), ServiceUrl("/x/zero/jb.aspx"), "", true, true));
    const std::string page = Page(1);
    EXPECT_EQ(0u, page.find("<html>"));
    EXPECT_EQ(std::string::npos, page.find("HIDDEN"));
    EXPECT_EQ(std::string::npos, page.find('\0'));
    EXPECT_LT(page.size(), 1000u); // the rest of the first chunk is gone
}

TEST_F(HttpDownload, NotFoundPageMakesThePricesAnErrorOfTheChangedSource) {
    CFXData1 reader1;
    CFXData2 reader2;
    ASSERT_TRUE(reader2.Download(probe.Window(), ServiceUrl("/x/empty/jc.aspx"), "", true, true));
    ASSERT_TRUE(
        reader1.Download(probe.Window(), ServiceUrl("/x/notfound/jb.aspx"), "", true, true));
    CFXPrice parser(QuotePageText(1), QuotePageText(2));
    EXPECT_EQ("Error", parser.GetPrice("EURUSD"));
    EXPECT_EQ(kPageChangedStatus, parser.Status());
}

TEST_F(HttpDownload, HugePageArrivesWhole) {
    CFXData2 reader;
    ASSERT_TRUE(reader.Download(probe.Window(), ServiceUrl("/x/huge/jc.aspx"), "", true, true));
    EXPECT_GT(Page(2).size(), 4u << 20);
    EXPECT_NE(std::string::npos, Page(2).rfind("-->"));
}

TEST_F(HttpDownload, ServerClosingMidTransferIsAFailureNotAHang) {
    CFXData1 reader;
    ASSERT_TRUE(reader.Download(probe.Window(), ServiceUrl("/jb.aspx"), "", true, true));
    const std::string whole = Page(1);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(reader.Download(probe.Window(), ServiceUrl("/x/cut/jb.aspx"), "", true, true));
    EXPECT_LT(GetTickCount() - start, 15000u);
    EXPECT_TRUE(reader.Status() == kDownloadUrlFailed || reader.Status() == kDownloadWorkerFailed)
        << reader.Status();
    EXPECT_EQ(whole.size(), Page(1).size()); // the last whole page stays
}

TEST_F(HttpDownload, DeadServerFailsQuicklyWhileMessagesGoOn) {
    constexpr UINT kMarker = WM_USER + 900;
    PostMessageW(probe.Handle(), kMarker, 0, 0);
    CFXData2 reader;
    const DWORD start = GetTickCount();
    // Port 9 (discard) has no listener on the loopback interface here.
    EXPECT_FALSE(reader.Download(probe.Window(), "http://127.0.0.1:9/jc.aspx", "", true, true));
    EXPECT_LT(GetTickCount() - start, 15000u);
    EXPECT_EQ(kDownloadUrlFailed, reader.Status());
    EXPECT_EQ(1u, probe.Count(kMarker)); // handled during the wait
}

TEST_F(HttpDownload, WaitForASilentServerEndsAtTheWaitLimit) {
    CFXData1 reader;
    DownloadLimits limits;
    limits.timeouts.receiveMs = 1000; // not applied by every WinINet to the first answer
    limits.waitMs = 1500;
    reader.SetLimits(limits);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(
        reader.Download(probe.Window(), ServiceUrl("/x/slow4000/jb.aspx"), "", true, true));
    EXPECT_LT(GetTickCount() - start, 3500u);
    EXPECT_NE(kDownloadOk, reader.Status());
    if (reader.IsBusy()) { // the worker still waits for the server
        EXPECT_EQ(kDownloadCanceled, reader.Status());
        // Past the wait limit it is left behind: the next request starts at once.
        EXPECT_FALSE(reader.Download(probe.Window(), ServiceUrl("/jb.aspx"), "", true, false));
        EXPECT_EQ(kDownloadPending, reader.Status());
        ASSERT_TRUE(probe.PumpUntil(kQuotePage1DoneMessage, kCompletionTimeout));
        reader.ClearBusy();
        EXPECT_FALSE(reader.IsBusy());
    }
}

TEST_F(HttpDownload, RequestCarriesItsNumberAndTheServiceRecordsTheFields) {
    CHttpReq request;
    const std::string query =
        "?c=EURUSD&p=1.0851&r=a%2Bb%40example.com&t=2024-05-06%2007%3A08%3A09";
    EXPECT_FALSE(request.Request(probe.Window(), ServiceUrl("/func/sendmail.aspx" + query), "",
                                 true, false, 7));
    ASSERT_TRUE(probe.PumpUntil(kHttpReqDoneMessage, kCompletionTimeout));
    const e2e::ReceivedMessage* done = probe.First(kHttpReqDoneMessage);
    EXPECT_EQ(7u, done->wParam);
    EXPECT_EQ(kDownloadOk, done->lParam);
    EXPECT_EQ(0u, CHttpReq::ResponseText().find("OK "));
    request.ClearBusy();

    ASSERT_TRUE(request.Request(probe.Window(), ServiceUrl("/requests"), "", true, true, 2));
    const std::string recorded = CHttpReq::ResponseText();
    EXPECT_NE(std::string::npos, recorded.find("r=a+b@example.com"));
    EXPECT_NE(std::string::npos, recorded.find("t=2024-05-06 07:08:09"));
}
} // namespace
