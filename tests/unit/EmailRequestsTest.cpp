#include "app/EmailRequests.h"
#include "HttpFakes.h"
#include "alerts/Actions.h"
#include <gtest/gtest.h>

TEST(EmailRequests, ARequestMadeWhileOneRunsIsSentAfterIt) {
    constexpr WindowHandle kWindow = 0x1234;
    ScriptedHttp http;
    // Never freed: a worker may still be returning from its last post when the test ends.
    RecordingHost& host = *new RecordingHost;
    CEmailRequests requests;
    requests.SetClient(&http, &host);
    ScriptedPage gated = PageOf({"OK"});
    gated.gated = true;
    http.SetPage(gated);

    requests.Send(kWindow, "http://service/mail?n=1");
    requests.Send(kWindow, "http://service/mail?n=2"); // the first still runs
    for (const char* expected : {"http://service/mail?n=1", "http://service/mail?n=2"}) {
        http.OpenGate();
        const std::optional<PostedMessage> done = host.Take(kHttpReqDoneMessage);
        ASSERT_TRUE(done) << expected;
        EXPECT_EQ(http.LastUrl(), expected);
        EXPECT_EQ(done->window, kWindow);
        EXPECT_TRUE(requests.OnDone(done->wParam, done->lParam));
    }
    EXPECT_FALSE(requests.OnDone(kEmailRequestNumber + 1, 0));
}
