#include "quotes/InternetQuotes.h"
#include "HttpFakes.h"
#include "platform/MessageBox.h"
#include "settings/TextIds.h"
#include <gtest/gtest.h>
#include "settings/LangTable.h"

namespace {
constexpr WindowHandle kWindow = 0x4321;

std::string QuotePage(const std::string& code, const std::string& price) {
    return "<table><tr><td><a href=\"embedquote.aspx?code=" + code + "\">" + code + kPriceKeyTail +
           price + "</span></td></tr></table>";
}

class FakeWindow final : public QuoteWindow {
public:
    WindowHandle Handle() override { return kWindow; }
    bool ColumnsReady() override { return columnsReady; }
    void BuildColumnsFromPages() override {
        columnsReady = true;
        ++builds;
    }
    void SetMessageRow(const std::string& text) override {
        columnsReady = false;
        messageRows.push_back(text);
    }
    void StopMainTimer() override { timerRunning = false; }
    void StartMainTimer() override { timerRunning = true; }

    bool columnsReady = false;
    bool timerRunning = true;
    int builds = 0;
    std::vector<std::string> messageRows;
};

class InternetQuotesTest : public ::testing::Test {
protected:
    InternetQuotesTest()
        : page1(QuotePageText(1)), page2(QuotePageText(2)), parser(page1, page2), quotes(parser) {
        // The readers fill the process's page texts; start each test without pages.
        page1->Set("");
        page2->Set("");
        for (int page : {1, 2}) {
            quotes.Reader(page).SetHttp(page == 1 ? &http1 : &http2);
            quotes.Reader(page).SetHost(&host);
        }
        quotes.SetPageAddresses("http://service/jb.aspx", "http://service/jc.aspx");
        SetMessageSink([this](const std::string& text, const std::string& caption) {
            boxes.push_back(text);
            captions.push_back(caption);
            if (duringBox)
                duringBox();
        });
    }
    ~InternetQuotesTest() override { SetMessageSink(nullptr); }

    // The window's handling of a page's completion message.
    void Complete(int page) {
        const unsigned message = page == 1 ? kQuotePage1DoneMessage : kQuotePage2DoneMessage;
        const std::optional<PostedMessage> done = host.Take(message);
        ASSERT_TRUE(done);
        quotes.OnPageDone(window, page, static_cast<int>(done->lParam));
    }

    ScriptedHttp http1;
    ScriptedHttp http2;
    // Never freed: a worker may still be returning from its last post when a test ends.
    RecordingHost& host = *new RecordingHost;
    std::shared_ptr<SharedText> page1;
    std::shared_ptr<SharedText> page2;
    CFXPrice parser;
    CInternetQuotes quotes;
    FakeWindow window;
    std::vector<std::string> boxes;
    std::vector<std::string> captions;
    std::function<void()> duringBox;
};

TEST_F(InternetQuotesTest, FirstRefreshStartsBothPagesAndTheTimerWaitsForBoth) {
    ScriptedPage gated = PageOf({QuotePage("EURUSD", "1.08512")});
    gated.gated = true;
    http1.SetPage(gated);
    http2.SetPage(PageOf({QuotePage("USDJPY", "151.234")}));

    EXPECT_FALSE(quotes.Refresh(window));
    EXPECT_FALSE(window.timerRunning);
    EXPECT_EQ(kReaderRequested, quotes.ReaderState(1));
    EXPECT_EQ(kReaderRequested, quotes.ReaderState(2));
    EXPECT_EQ(0, host.waits); // neither waited

    Complete(2); // page 1 not there yet: no columns, no message
    EXPECT_EQ(0, window.builds);
    EXPECT_TRUE(window.messageRows.empty());
    EXPECT_FALSE(window.timerRunning);
    EXPECT_EQ(kReaderIdle, quotes.ReaderState(2));

    http1.OpenGate();
    Complete(1);
    EXPECT_EQ(1, window.builds);
    EXPECT_TRUE(window.timerRunning);
    EXPECT_EQ(kReaderIdle, quotes.ReaderState(1));
    EXPECT_FALSE(quotes.Reader(1).IsBusy());
}

TEST_F(InternetQuotesTest, LaterRefreshesDownloadIdlePagesWaitedAndFillTheColumns) {
    http1.SetPage(PageOf({QuotePage("EURUSD", "1.08512")}));
    http2.SetPage(PageOf({QuotePage("USDJPY", "151.234")}));
    quotes.Refresh(window);
    Complete(1);
    Complete(2);
    ASSERT_TRUE(window.columnsReady);

    http1.SetPage(PageOf({QuotePage("EURUSD", "1.09000")}));
    EXPECT_TRUE(quotes.Refresh(window));
    EXPECT_EQ(2, host.waits);
    EXPECT_EQ("1.0900", quotes.ReadCell("EURUSD", "1.0851").price);
    // Until their completion messages are handled the pages count as requested.
    EXPECT_FALSE(quotes.Refresh(window) && host.waits != 2);
    EXPECT_EQ(2, host.waits);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(InternetQuotesTest, FailedPageShowsItsTextInTheMessageRow) {
    http1.SetPage(FailingOpen(HttpOpenError::Request));
    ScriptedPage noLength = WithoutLength({"x"});
    http2.SetPage(noLength);
    quotes.Refresh(window);
    Complete(1);
    Complete(2);
    ASSERT_EQ(2u, window.messageRows.size());
    std::string expected = GetMessage(kMsgPageFailed);
    expected.replace(expected.find("%d"), 2, "2");
    EXPECT_EQ(expected, window.messageRows[0]);
    EXPECT_EQ("Get Filesize Error.", window.messageRows[1]);
    EXPECT_TRUE(window.timerRunning);
    EXPECT_EQ(0, window.builds);
}

TEST_F(InternetQuotesTest, PagesWithoutSymbolsShowTheParsersText) {
    http1.SetPage(PageOf({"<html><h1>HTTP Error 404 - Not Found</h1></html>"}));
    http2.SetPage(PageOf({"<html>nothing</html>"}));
    quotes.Refresh(window);
    Complete(1);
    Complete(2);
    ASSERT_FALSE(window.messageRows.empty());
    EXPECT_EQ(GetText(kPageChangedStatus), window.messageRows.back());
    EXPECT_EQ(0, window.builds);
}

TEST_F(InternetQuotesTest, WaitedFailureShowsOneBoxAtATime) {
    http1.SetPage(PageOf({QuotePage("EURUSD", "1.08512")}));
    http2.SetPage(PageOf({QuotePage("USDJPY", "151.234")}));
    quotes.Refresh(window);
    Complete(1);
    Complete(2);

    http1.SetPage(FailingOpen(HttpOpenError::Request));
    http2.SetPage(FailingOpen(HttpOpenError::Request));
    // The box's own message loop lets the main timer refresh again.
    duringBox = [this] {
        duringBox = nullptr;
        quotes.OnPageDone(window, 1, kDownloadUrlFailed);
        quotes.Refresh(window);
    };
    quotes.Refresh(window);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("InternetOpenUrl Error.", boxes[0]);
    EXPECT_EQ(GetMessage(kMsgProgramTitle), captions[0]);
}

TEST_F(InternetQuotesTest, FirstRoundThatStartsNothingLeavesTheTimerRunning) {
    ScriptedPage gated = PageOf({"x"});
    gated.gated = true;
    http1.SetPage(gated);
    quotes.Reader(1).Start(kWindow, "http://service/jb.aspx", "", true, false, 0);
    quotes.Reader(2).Start(kWindow, "http://service/jc.aspx", "", true, false, 0);
    quotes.Refresh(window); // both readers busy
    EXPECT_TRUE(window.timerRunning);
    EXPECT_EQ(kReaderIdle, quotes.ReaderState(1));
    EXPECT_EQ(kReaderIdle, quotes.ReaderState(2));
    http1.OpenGate();
    EXPECT_TRUE(host.Take(kQuotePage1DoneMessage)); // the workers are done with the fakes
    EXPECT_TRUE(host.Take(kQuotePage2DoneMessage));
}

TEST_F(InternetQuotesTest, CellCountsTheReceivingTextAsZero) {
    page1->Set(QuotePage("EURUSD", "1.08512") + QuotePage("XAUUSD", "2034.18"));
    EXPECT_EQ("0", quotes.ReadCell("EURUSD", GetText(kTextReceivingPrices)).previous);
    const InternetCell cell = quotes.ReadCell("EURUSD", "1.0840");
    EXPECT_EQ("1.0840", cell.previous);
    EXPECT_EQ("1.0851", cell.price);
    EXPECT_EQ("2034.1", quotes.ReadCell("XAUUSD", "").price);
}

TEST(InternetDigitsTest, OnlyAFractionalPipBeyondTheSymbolsDecimalsIsDropped) {
    EXPECT_EQ("1.2345", NormaliseInternetDigits("EURUSD", "1.23456"));
    EXPECT_EQ("1.2345", NormaliseInternetDigits("EURUSD", "1.2345"));
    EXPECT_EQ("110.12", NormaliseInternetDigits("USDJPY", "110.123"));
    EXPECT_EQ("2034.1", NormaliseInternetDigits("XAUUSD", "2034.1")); // gold shows one
    EXPECT_EQ(".123", NormaliseInternetDigits("EURUSD", ".123"));     // point first
    EXPECT_EQ("Error", NormaliseInternetDigits("EURUSD", "Error"));
    EXPECT_EQ("...", NormaliseInternetDigits("EURUSD", "..."));
}

TEST(InternetDigitsTest, ServiceUrlPutsTheSchemeInFrontOnce) {
    EXPECT_EQ(0u, ServiceUrl("/jb.aspx").rfind("http://", 0));
    EXPECT_EQ("/jb.aspx", ServiceUrl("/jb.aspx").substr(ServiceUrl("/jb.aspx").size() - 8));
    EXPECT_EQ(std::string::npos, ServiceUrl("/x").find("http://http://"));
}
} // namespace
