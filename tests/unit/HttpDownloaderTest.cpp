#include "HttpFakes.h"
#include "TempFolder.h"
#include "quotes/FXData.h"
#include <gtest/gtest.h>

namespace {
constexpr WindowHandle kWindow = 0x1234;
constexpr unsigned kProgress = 0x467;
constexpr unsigned kDone = 0x465;

class DownloaderTest : public ::testing::Test {
protected:
    DownloaderTest() : text(std::make_shared<SharedText>()), loader({kProgress, kDone}, text) {
        loader.SetHttp(&http);
        loader.SetHost(&host);
    }

    // Starts without waiting and returns the completion's status.
    std::intptr_t RunAsync(ScriptedPage page) {
        http.SetPage(std::move(page));
        EXPECT_FALSE(loader.Start(kWindow, "http://service/jb.aspx", "", true, false, 7));
        EXPECT_EQ(kDownloadPending, loader.Status());
        lastDone = host.Take(kDone);
        EXPECT_TRUE(lastDone.has_value());
        return lastDone ? lastDone->lParam : -1;
    }

    std::optional<PostedMessage> lastDone;

    ScriptedHttp http;
    // Never freed: a worker may still be returning from its last post when a test ends.
    RecordingHost& host = *new RecordingHost;
    std::shared_ptr<SharedText> text;
    CDownloader loader;
};

TEST_F(DownloaderTest, AsyncDownloadPostsProgressAndCompletionAndHandsOverTheText) {
    EXPECT_EQ(0, RunAsync(PageOf({"<html>", "quotes", "</html>"})));
    EXPECT_EQ("<html>quotes</html>", *text->Get());
    EXPECT_EQ("Tickmon", http.LastAgent());
    EXPECT_EQ("http://service/jb.aspx", http.LastUrl());

    const std::vector<PostedMessage> posts = host.Posts();
    ASSERT_EQ(3u, posts.size()); // the completion was taken
    const std::intptr_t soFar[] = {6, 12, 19};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(kProgress, posts[i].message);
        EXPECT_EQ(kWindow, posts[i].window);
        EXPECT_EQ(19u, posts[i].wParam); // the Content-Length
        EXPECT_EQ(soFar[i], posts[i].lParam);
    }
    EXPECT_EQ(kWindow, lastDone->window);
    EXPECT_EQ(7u, lastDone->wParam);
    for (std::size_t capacity : http.Capacities())
        EXPECT_EQ(kDownloadChunkBytes, capacity);

    EXPECT_TRUE(loader.IsBusy()); // until the owner handles the completion
    loader.ClearBusy();
    EXPECT_FALSE(loader.IsBusy());
    EXPECT_EQ(kDownloadOk, loader.Status());
}

TEST_F(DownloaderTest, EachChunkCountsAsTextUpToItsFirstZeroByte) {
    EXPECT_EQ(0, RunAsync(PageOf({std::string("ab\0cd", 5), "ef", std::string("\0gh", 3)})));
    EXPECT_EQ("abef", *text->Get());
}

TEST_F(DownloaderTest, FailuresGiveTheirStatusAndOnlyWholeAnswersReplaceTheText) {
    struct Case {
        const char* name;
        ScriptedPage page;
        int status;
        bool replaces;
        DownloadLimits limits = {};
        const char* text = nullptr; // the text handed over, when it matters
    };
    DownloadLimits pageLimits; // as the news pages are fetched
    pageLimits.lengthRequired = false;
    pageLimits.errorStatusFails = true;
    const ScriptedPage session = FailingOpen(HttpOpenError::Session);
    const ScriptedPage request = FailingOpen(HttpOpenError::Request);
    ScriptedPage noLength = WithoutLength({"body"});
    ScriptedPage failedRead = PageOf({"part", "rest"});
    failedRead.failReadAt = 1;
    ScriptedPage throwing = PageOf({"part", "rest"});
    throwing.throwReadAt = 1;
    ScriptedPage cutShort = PageOf({"part"});
    cutShort.contentLength = "100";
    ScriptedPage oddLength = PageOf({"part"});
    oddLength.contentLength = "4 bytes"; // read as its leading number
    ScriptedPage notFound = PageOf({"<h1>Not Found</h1>"});
    notFound.status = 404;
    ScriptedPage chunked = WithoutLength({"whole ", "page"});
    ScriptedPage chunkedCut = chunked;
    chunkedCut.failReadAt = 1;
    const Case cases[] = {
        {"session", session, kDownloadOpenFailed, true},
        {"request", request, kDownloadUrlFailed, true},
        {"no Content-Length", noLength, kDownloadNoLength, true},
        {"failed read", failedRead, kDownloadWorkerFailed, false},
        {"exception", throwing, kDownloadWorkerFailed, false},
        {"cut short", cutShort, kDownloadWorkerFailed, false},
        {"length with text", oddLength, kDownloadOk, true},
        {"error page taken by default", notFound, kDownloadOk, true},
        {"error page refused", notFound, kDownloadHttpError, false, pageLimits},
        {"page without length read to its end", chunked, kDownloadOk, true, pageLimits,
         "whole page"},
        {"page without length broken", chunkedCut, kDownloadWorkerFailed, false, pageLimits},
        {"sized page with optional length", PageOf({"page"}), kDownloadOk, true, pageLimits,
         "page"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        text->Set("old page");
        loader.SetLimits(c.limits);
        EXPECT_EQ(c.status, RunAsync(c.page));
        loader.ClearBusy();
        EXPECT_EQ(c.status, loader.Status());
        if (c.replaces)
            EXPECT_NE("old page", *text->Get());
        else
            EXPECT_EQ("old page", *text->Get());
        if (c.text) {
            EXPECT_EQ(c.text, *text->Get());
        }
        host.Clear();
    }
}

TEST_F(DownloaderTest, NoContentLengthReadsNothingAndEmptiesThePage) {
    ScriptedPage page = WithoutLength({"body"});
    text->Set("old page");
    EXPECT_EQ(kDownloadNoLength, RunAsync(page));
    EXPECT_EQ("", *text->Get());
    EXPECT_TRUE(http.Capacities().empty());
}

TEST_F(DownloaderTest, OversizedAndEndlessAnswersAreCutOff) {
    DownloadLimits limits;
    limits.maxBytes = 2000;
    loader.SetLimits(limits);
    EXPECT_EQ(
        kDownloadWorkerFailed,
        RunAsync(PageOf({std::string(1023, 'x'), std::string(1023, 'y'), std::string(1023, 'z')})));
    loader.ClearBusy();
    host.Clear();

    limits = DownloadLimits();
    limits.transferMs = 50;
    loader.SetLimits(limits);
    ScriptedPage trickle = PageOf(std::vector<std::string>(100, "x"));
    trickle.readDelay = std::chrono::milliseconds(10);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(kDownloadCanceled, RunAsync(trickle));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
}

TEST_F(DownloaderTest, SecondStartWhileBusyIsRefusedUntilTheOwnerClearsTheMarker) {
    ScriptedPage gated = PageOf({"page"});
    gated.gated = true;
    http.SetPage(gated);
    EXPECT_FALSE(loader.Start(kWindow, "http://service/jb.aspx", "", true, false, 0));
    EXPECT_FALSE(loader.Start(kWindow, "http://service/jb.aspx", "", true, false, 0));
    EXPECT_EQ(kDownloadBusy, loader.Status());
    EXPECT_EQ("Current is busy.", loader.GetErrorText());

    loader.ClearBusy(); // the worker still runs: a stray clear must not allow a second one
    EXPECT_TRUE(loader.IsBusy());

    http.OpenGate();
    ASSERT_TRUE(host.Take(kDone));
    loader.ClearBusy();
    EXPECT_FALSE(loader.IsBusy());
    http.SetPage(PageOf({"again"}));
    EXPECT_FALSE(loader.Start(kWindow, "http://service/jb.aspx", "", true, false, 0));
    EXPECT_EQ(kDownloadPending, loader.Status());
    ASSERT_TRUE(host.Take(kDone));
}

TEST_F(DownloaderTest, WaitedDownloadReturnsTheResultAndIsIdleAfterwards) {
    http.SetPage(PageOf({"page"}));
    EXPECT_TRUE(loader.Start(kWindow, "http://service/jb.aspx", "", true, true, 0));
    EXPECT_EQ(kDownloadOk, loader.Status());
    EXPECT_FALSE(loader.IsBusy());
    EXPECT_EQ("page", *text->Get());
    EXPECT_EQ(1, host.waits);

    http.SetPage(FailingOpen(HttpOpenError::Request));
    EXPECT_FALSE(loader.Start(kWindow, "http://service/jb.aspx", "", true, true, 0));
    EXPECT_EQ(kDownloadUrlFailed, loader.Status());
    EXPECT_FALSE(loader.IsBusy());
}

TEST_F(DownloaderTest, WaitedDownloadSurvivesTheOwnerHandlingTheCompletionInsideTheWait) {
    ScriptedPage gated = PageOf({"page"});
    gated.gated = true;
    http.SetPage(gated);
    host.duringWait = [this] {
        http.OpenGate();
        while (!host.Take(kDone)) {
        }
        loader.ClearBusy();
    };
    EXPECT_TRUE(loader.Start(kWindow, "http://service/jb.aspx", "", true, true, 0));
    EXPECT_FALSE(loader.IsBusy());
}

TEST_F(DownloaderTest, WaitThatRunsOutStaysBusyUntilTheWorkerEnds) {
    DownloadLimits limits;
    limits.waitMs = 30;
    loader.SetLimits(limits);
    ScriptedPage gated = PageOf({"page"});
    gated.gated = true;
    http.SetPage(gated);
    EXPECT_FALSE(loader.Start(kWindow, "http://service/jb.aspx", "", true, true, 0));
    EXPECT_EQ(kDownloadCanceled, loader.Status());
    EXPECT_TRUE(loader.IsBusy());
    http.OpenGate();
    ASSERT_TRUE(host.Take(kDone));
    loader.ClearBusy();
    EXPECT_FALSE(loader.IsBusy());
}

// A server that accepts and never answers must not keep the quotes busy for ever, nor
// pile up threads while it stays silent.
TEST_F(DownloaderTest, AWorkerHungPastTheWaitLimitIsLeftBehindAndPostsNothing) {
    DownloadLimits limits;
    limits.waitMs = 40;
    ScriptedPage gated = PageOf({"late"});
    gated.gated = true;
    http.SetPage(gated);
    std::vector<std::unique_ptr<CDownloader>> loaders;
    for (int i = 0; i < 4; ++i) {
        loaders.push_back(std::make_unique<CDownloader>(DownloadMessages{kProgress, kDone}, text));
        loaders[i]->SetHttp(&http);
        loaders[i]->SetHost(&host);
        loaders[i]->SetLimits(limits);
        EXPECT_FALSE(loaders[i]->Start(kWindow, "http://service/jb.aspx", "", true, false, 1));
    }
    EXPECT_FALSE(loaders[0]->Start(kWindow, "http://service/jb.aspx", "", true, false, 2));
    EXPECT_EQ(kDownloadBusy, loaders[0]->Status()); // not yet overdue
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(loaders[i]->Start(kWindow, "http://service/jb.aspx", "", true, false, 2));
        EXPECT_EQ(i < 3 ? kDownloadPending : kDownloadBusy, loaders[i]->Status()) << i;
    }
    http.OpenGate();
    std::vector<std::uintptr_t> numbers;
    for (int i = 0; i < 4; ++i) {
        const auto done = host.Take(kDone);
        ASSERT_TRUE(done) << i;
        numbers.push_back(done->wParam);
    }
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ((std::vector<std::uintptr_t>{1, 2, 2, 2}), numbers);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (const PostedMessage& post : host.Posts())
        EXPECT_NE(kDone, post.message); // the three left behind said nothing
}

TEST_F(DownloaderTest, LocalFileIsCheckedAndWritten) {
    TempFolder folder;
    const std::string file = folder.path + "page.htm";
    WriteText(file, "kept");
    http.SetPage(PageOf({"new"}));
    EXPECT_FALSE(loader.Start(kWindow, "http://service/jb.aspx", file, false, true, 0));
    EXPECT_EQ(kDownloadFileExists, loader.Status());
    EXPECT_FALSE(loader.IsBusy());
    EXPECT_EQ("kept", ReadText(file));

    EXPECT_TRUE(loader.Start(kWindow, "http://service/jb.aspx", file, true, true, 0));
    EXPECT_EQ("new", ReadText(file));

    EXPECT_FALSE(
        loader.Start(kWindow, "http://service/jb.aspx", folder.path + "no/such/x", true, true, 0));
    EXPECT_EQ(kDownloadFileFailed, loader.Status());
}

TEST_F(DownloaderTest, DestroyedDownloaderPostsNothingMore) {
    ScriptedPage gated = PageOf({"page"});
    gated.gated = true;
    http.SetPage(gated);
    {
        CDownloader shortLived({kProgress, kDone}, text);
        shortLived.SetHttp(&http);
        shortLived.SetHost(&host);
        shortLived.Start(kWindow, "http://service/jb.aspx", "", true, false, 0);
    }
    http.OpenGate();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (http.OpenResponses() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(0, http.OpenResponses());
    EXPECT_TRUE(host.Posts().empty());
    EXPECT_EQ("page", *text->Get()); // its buffer outlived the downloader
}

TEST(DownloadStatusTextTest, EveryStatusHasItsText) {
    const char* const texts[] = {"",
                                 "InternetOpen Error.",
                                 "InternetOpenUrl Error.",
                                 "Get Filesize Error.",
                                 "Download have been canceled.",
                                 "Current is busy.",
                                 "Fail to create download thread.",
                                 "Fail to open local file.",
                                 "The file has been in existence.",
                                 "Asynchronism download, please wait."};
    for (int status = 0; status < 10; ++status)
        EXPECT_EQ(texts[status], DownloadStatusText(status));
    EXPECT_EQ("Unknowed Error:10.", DownloadStatusText(10));
    EXPECT_EQ("HTTP Error.", DownloadStatusText(kDownloadHttpError));
    EXPECT_EQ("Unknowed Error:-3.", DownloadStatusText(-3));
}

TEST(DownloaderClassesTest, EachReaderPostsItsOwnMessagesAndFillsItsOwnText) {
    ScriptedHttp http(PageOf({"answer"}));
    RecordingHost& host = *new RecordingHost; // outlives any worker
    CFXData2 page2;
    page2.SetHttp(&http);
    page2.SetHost(&host);
    EXPECT_TRUE(page2.Download(kWindow, "http://service/jc.aspx", "", true, true));
    EXPECT_TRUE(host.Take(kQuotePage2DoneMessage));
    EXPECT_TRUE(host.WaitFor(kQuotePage2ProgressMessage));
    EXPECT_EQ("answer", *QuotePageText(2)->Get());

    CHttpReq request;
    request.SetHttp(&http);
    request.SetHost(&host);
    EXPECT_FALSE(request.Request(kWindow, "http://service/func/sendmail.aspx", "", true, false, 1));
    const std::optional<PostedMessage> done = host.Take(kHttpReqDoneMessage);
    ASSERT_TRUE(done);
    EXPECT_EQ(1u, done->wParam);
    EXPECT_EQ(0, done->lParam);
    EXPECT_EQ("answer", CHttpReq::ResponseText());
    EXPECT_TRUE(host.WaitFor(kHttpReqProgressMessage));
    request.ClearBusy();
}
} // namespace
