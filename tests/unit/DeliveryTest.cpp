// Phone notices: each channel's request, the outcome of each answer, the queue that sends
// them with retries, and the native stand-in of the secret store.
#include "HttpFakes.h"
#include "delivery/DeliveryQueue.h"
#include "delivery/PushRequests.h"
#include "platform/Secrets.h"
#include "platform/Text.h"
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

namespace {
using namespace std::chrono_literals;

AlertNotice Notice(std::string message = "Say \"hi\"\nback\\slash") {
    return AlertNotice{"黄金", "1.30012", "Price>1.3000", std::move(message), "2024-01-02 10:32"};
}

PhoneSettings Phone() {
    PhoneSettings phone;
    phone.telegramToken = "123:AB-c_d\r\n"; // pasted with its line break
    phone.telegramChat = "-1001";
    phone.ntfyTopic = "pw_topic";
    phone.webhookUrl = "https://hooks.test/x";
    return phone;
}

// The variables of the process for one test, whatever they were before.
class Environment {
public:
    Environment() { Clear(); }
    ~Environment() { Clear(); }
    void Set(const char* name, const char* value) { setenv(name, value, 1); }

private:
    void Clear() {
        unsetenv(kTelegramApiVariable);
        unsetenv(kNtfyServerVariable);
    }
};

TEST(PushRequests, EachChannelsUrlHeadersAndBody) {
    Environment environment;
    const PushRequest telegram = MakePushRequest(DeliveryChannel::Telegram, Phone(), Notice());
    EXPECT_EQ("https://api.telegram.org/bot123:AB-c_d/sendMessage", telegram.url);
    EXPECT_EQ("application/json", telegram.contentType);
    EXPECT_EQ(
        R"({"chat_id":"-1001","text":"黄金 1.30012 Price>1.3000\nSay \"hi\"\nback\\slash\n2024-01-02 10:32"})",
        telegram.body);

    const PushRequest ntfy = MakePushRequest(DeliveryChannel::Ntfy, Phone(), Notice());
    EXPECT_EQ("https://ntfy.sh/pw_topic", ntfy.url);
    EXPECT_EQ("text/plain; charset=utf-8", ntfy.contentType);
    const std::string title = "黄金 1.30012 Price>1.3000";
    EXPECT_EQ((std::vector<std::string>{"Title: =?UTF-8?B?" + Base64Encode(title) + "?=",
                                        "Priority: high", "Tags: bell"}),
              ntfy.headers);
    EXPECT_EQ("Say \"hi\"\nback\\slash\n2024-01-02 10:32", ntfy.body);

    const PushRequest webhook = MakePushRequest(DeliveryChannel::Webhook, Phone(), Notice());
    EXPECT_EQ("https://hooks.test/x", webhook.url);
    EXPECT_EQ("application/json", webhook.contentType);
    const std::string summary = R"("黄金 1.30012 Price>1.3000: Say \"hi\" back\\slash")";
    EXPECT_EQ(R"({"symbol":"黄金","price":"1.30012","condition":"Price>1.3000",)"
              R"("message":"Say \"hi\"\nback\\slash","time":"2024-01-02 10:32",)"
              R"("text":)" +
                  summary + R"(,"content":)" + summary + "}",
              webhook.body);
    for (const PushRequest* request : {&telegram, &ntfy, &webhook})
        EXPECT_EQ("", request->error);
}

TEST(PushRequests, JsonQuotingAndHeaderValues) {
    const std::pair<std::string, std::string> json[] = {
        {"plain", R"("plain")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"one\ntwo", R"("one\ntwo")"},
        {std::string("\x01\x1f\r\t\0", 5), R"("\u0001\u001f\u000d\u0009\u0000")"},
        {"汇率 € ok", R"("汇率 € ok")"},
        {"bad \xff end", "\"bad \xEF\xBF\xBD end\""}, // never invalid UTF-8 on the wire
    };
    for (const auto& [text, quoted] : json)
        EXPECT_EQ(quoted, JsonQuoted(text)) << quoted;

    // A line break in a symbol can never start a header of its own; a long Chinese title is
    // split into encoded words of at most 75 characters, never inside a character.
    AlertNotice notice = Notice();
    notice.symbol = "EUR\r\nX-Injected: 1";
    notice.condition = "";
    EXPECT_EQ("Title: EUR X-Injected: 1 1.30012",
              MakePushRequest(DeliveryChannel::Ntfy, Phone(), notice).headers[0]);
    notice.symbol = "";
    notice.price = "";
    notice.condition = std::string(40, 'x') + "汇率警报汇率警报汇率警报汇率警报汇率警报";
    const std::string title = MakePushRequest(DeliveryChannel::Ntfy, Phone(), notice).headers[0];
    std::string decoded;
    std::size_t words = 0;
    for (std::size_t at = title.find("=?"); at != std::string::npos; at = title.find("=?", at)) {
        const std::size_t end = title.find("?=", at + 10) + 2;
        ASSERT_LE(end - at, 75u);
        decoded += Base64Decode(title.substr(at + 10, end - at - 12)).value_or("?");
        ++words;
        at = end;
    }
    EXPECT_GT(words, 1u);
    EXPECT_EQ(notice.condition, decoded);
}

TEST(PushRequests, SettingsThatWouldChangeTheAddressAreRefused) {
    Environment environment;
    struct Case {
        DeliveryChannel channel;
        void (*change)(PhoneSettings&);
        const char* error;
    };
    const Case cases[] = {
        {DeliveryChannel::Telegram, [](PhoneSettings& p) { p.telegramToken = "12:ab/../x"; },
         "token"},
        {DeliveryChannel::Telegram, [](PhoneSettings& p) { p.telegramToken = "12:ab?x=1"; },
         "token"},
        {DeliveryChannel::Telegram, [](PhoneSettings& p) { p.telegramToken = "12:a b"; }, "token"},
        {DeliveryChannel::Telegram, [](PhoneSettings& p) { p.telegramToken = " "; },
         "no Telegram bot token"},
        {DeliveryChannel::Telegram, [](PhoneSettings& p) { p.telegramChat = ""; },
         "no Telegram chat"},
        {DeliveryChannel::Ntfy, [](PhoneSettings& p) { p.ntfyTopic = "a/b"; }, "topic"},
        {DeliveryChannel::Ntfy, [](PhoneSettings& p) { p.ntfyTopic = "a%2Fb"; }, "topic"},
        {DeliveryChannel::Ntfy, [](PhoneSettings& p) { p.ntfyTopic = std::string(65, 'a'); },
         "topic"},
        {DeliveryChannel::Ntfy, [](PhoneSettings& p) { p.ntfyTopic = ""; }, "no ntfy topic"},
        {DeliveryChannel::Ntfy, [](PhoneSettings& p) { p.ntfyServer = "ftp://x.test"; }, "server"},
        {DeliveryChannel::Webhook, [](PhoneSettings& p) { p.webhookUrl = "file:///c:/x"; },
         "webhook"},
        {DeliveryChannel::Webhook, [](PhoneSettings& p) { p.webhookUrl = "https://"; }, "webhook"},
        {DeliveryChannel::Webhook, [](PhoneSettings& p) { p.webhookUrl = "https://a b.test"; },
         "webhook"},
        {DeliveryChannel::Webhook, [](PhoneSettings& p) { p.webhookUrl = ""; }, "no webhook"},
        {DeliveryChannel::Mail, [](PhoneSettings&) {}, "mail"},
    };
    for (const Case& test : cases) {
        PhoneSettings phone = Phone();
        test.change(phone);
        const PushRequest request = MakePushRequest(test.channel, phone, Notice());
        EXPECT_NE(std::string::npos, request.error.find(test.error)) << request.error;
        EXPECT_EQ("", request.url);
    }
}

TEST(PushRequests, ServerAddressesFromSettingsAndEnvironment) {
    Environment environment;
    environment.Set(kTelegramApiVariable, "http://127.0.0.1:9/push/telegram/");
    environment.Set(kNtfyServerVariable, "http://127.0.0.1:9/push/ntfy");
    PhoneSettings phone = Phone();
    EXPECT_EQ("http://127.0.0.1:9/push/telegram/bot123:AB-c_d/sendMessage",
              MakePushRequest(DeliveryChannel::Telegram, phone, Notice()).url);
    EXPECT_EQ("http://127.0.0.1:9/push/ntfy/pw_topic",
              MakePushRequest(DeliveryChannel::Ntfy, phone, Notice()).url);
    // The user's own server wins over the variable; a bare host name is reached over TLS.
    phone.ntfyServer = "ntfy.example.test/";
    EXPECT_EQ("https://ntfy.example.test/pw_topic",
              MakePushRequest(DeliveryChannel::Ntfy, phone, Notice()).url);
}

ScriptedPage Answer(int status, std::string body) {
    ScriptedPage page = PageOf({std::move(body)});
    page.status = status;
    return page;
}

TEST(SendPush, EachAnswerMapsToSentAgainLaterOrFinal) {
    struct Case {
        DeliveryChannel channel;
        ScriptedPage page;
        bool sent;
        bool transient;
        std::string detail;
    };
    const std::string longAnswer = "line one\r\n" + std::string(300, 'z');
    const Case cases[] = {
        {DeliveryChannel::Telegram, Answer(200, R"({"ok":true})"), true, false, "HTTP 200"},
        {DeliveryChannel::Webhook, Answer(204, ""), true, false, "HTTP 204"},
        {DeliveryChannel::Ntfy, Answer(429, "slow down"), false, true, "HTTP 429 slow down"},
        {DeliveryChannel::Webhook, Answer(503, ""), false, true, "HTTP 503"},
        {DeliveryChannel::Telegram,
         Answer(401, R"({"ok":false,"error_code":401,"description":"Unauthorized"})"), false, false,
         "HTTP 401 Unauthorized"},
        {DeliveryChannel::Telegram,
         Answer(
             400,
             R"({"ok":false, "description" : "Bad Request: chat \"x\"\nnot found \u00e9\ud83d\ude00"})"),
         false, false, "HTTP 400 Bad Request: chat \"x\" not found é😀"},
        // An answer that repeats the token never puts it into the detail.
        {DeliveryChannel::Telegram, Answer(404, R"({"description":"no bot 123:AB-c_d here"})"),
         false, false, "HTTP 404 no bot *** here"},
        {DeliveryChannel::Webhook, Answer(404, longAnswer), false, false,
         "HTTP 404 line one " + std::string(191, 'z')},
        {DeliveryChannel::Webhook, Answer(302, ""), false, false, "HTTP 302"},
        {DeliveryChannel::Ntfy, FailingOpen(HttpOpenError::Request), false, true, "no connection"},
        {DeliveryChannel::Webhook, FailingOpen(HttpOpenError::Certificate), false, false,
         "the server's certificate was refused"},
    };
    ScriptedHttp http;
    SetCurrentHttp(&http);
    for (const Case& test : cases) {
        http.SetPage(test.page);
        const SendResult result = SendPush(test.channel, Phone(), Notice());
        EXPECT_EQ(test.sent, result.sent) << test.detail;
        EXPECT_EQ(test.transient, result.transient) << test.detail;
        EXPECT_EQ(test.detail, result.detail);
    }
    // Settings that make no request send nothing and are final.
    PhoneSettings noTopic = Phone();
    noTopic.ntfyTopic = "";
    const std::size_t posted = http.Posts().size();
    EXPECT_FALSE(SendPush(DeliveryChannel::Ntfy, noTopic, Notice()).transient);
    EXPECT_EQ(posted, http.Posts().size());
    SetCurrentHttp(nullptr);

    const ScriptedHttp::PostRequest first = http.Posts().front();
    const PushRequest expected = MakePushRequest(DeliveryChannel::Telegram, Phone(), Notice());
    EXPECT_EQ(expected.url, first.url);
    EXPECT_EQ(expected.body, first.body);
    EXPECT_EQ(expected.contentType, first.contentType);
    EXPECT_EQ(kPushAgent, http.LastAgent());

    // A server that repeats the webhook's path, query or key shows none of them.
    const std::string key = "8f14e45fceea167a5a36dedd4bea2543";
    const std::string hook = "https://hooks.test/hooks/" + key + "?sig=Zm9vYmFyYmF6cXV4";
    const std::pair<std::string, std::string> echoes[] = {
        {"Cannot POST /hooks/" + key + "?sig=Zm9vYmFyYmF6cXV4", "HTTP 404 Cannot POST ***"},
        {"Cannot POST /hooks/" + key, "HTTP 404 Cannot POST ***"},
        {"no hook " + key + " (sig=Zm9vYmFyYmF6cXV4)", "HTTP 404 no hook *** (***)"},
        {"POST " + hook + " failed", "HTTP 404 POST *** failed"},
        {"Not Found", "HTTP 404 Not Found"},
    };
    for (const auto& [answer, detail] : echoes)
        EXPECT_EQ(PushAnswerResult(DeliveryChannel::Webhook, 404, answer, hook).detail, detail);
}

TEST(DeliveryQueue, RetryScheduleTriesTwiceMoreWithinTwoMinutes) {
    EXPECT_EQ(30s, RetryDelay(1));
    EXPECT_EQ(60s, RetryDelay(2));
    EXPECT_FALSE(RetryDelay(3).has_value());
    EXPECT_FALSE(RetryDelay(0).has_value());
    EXPECT_LE(*RetryDelay(1) + *RetryDelay(2), 120s);
}

// Collects the reports, with the waits the queue asked for on a fake clock.
class QueueTest : public ::testing::Test {
protected:
    DeliveryQueue::Report Collect() {
        return [this](const DeliveryOutcome& outcome) {
            std::lock_guard<std::mutex> lock(mutex);
            reports.push_back(outcome);
            changed.notify_all();
        };
    }
    DeliveryQueue::RetryWait FakeWait() {
        return [this](std::chrono::seconds delay, const std::function<bool()>& stopping) {
            std::lock_guard<std::mutex> lock(mutex);
            waits.push_back(delay);
            return !stopping();
        };
    }
    std::vector<DeliveryOutcome> WaitForReports(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, 5s, [&] { return reports.size() >= count; });
        return reports;
    }
    std::size_t ReportCount() {
        std::lock_guard<std::mutex> lock(mutex);
        return reports.size();
    }
    // A sender whose attempts give the scripted results, the last one again and again.
    static Sender Scripted(std::vector<SendResult> results) {
        auto next = std::make_shared<std::size_t>(0);
        return [results, next] { return results[std::min((*next)++, results.size() - 1)]; };
    }

    static Sender SentAtOnce() { return Scripted({{true, false, "HTTP 200"}}); }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<DeliveryOutcome> reports;
    std::vector<std::chrono::seconds> waits;
};

TEST_F(QueueTest, AttemptsAndWaitsOfEachCourse) {
    const SendResult sent{true, false, "HTTP 200"};
    const SendResult later{false, true, "HTTP 503"};
    const SendResult never{false, false, "HTTP 401 Unauthorized"};
    struct Case {
        std::vector<SendResult> results;
        bool sent;
        int attempts;
        std::vector<std::chrono::seconds> waits;
        std::string detail;
    };
    const Case cases[] = {
        {{sent}, true, 1, {}, "HTTP 200"},
        {{later, later, sent}, true, 3, {30s, 60s}, "HTTP 200"},
        {{never}, false, 1, {}, "HTTP 401 Unauthorized"},
        {{later, never}, false, 2, {30s}, "HTTP 401 Unauthorized"},
        {{later}, false, 3, {30s, 60s}, "HTTP 503"},
    };
    for (const Case& test : cases) {
        reports.clear();
        waits.clear();
        DeliveryQueue queue(Collect(), FakeWait());
        const std::uint32_t ticket =
            queue.Submit(DeliveryChannel::Telegram, Notice("case"), Scripted(test.results));
        const std::vector<DeliveryOutcome> got = WaitForReports(1);
        queue.Stop();
        ASSERT_EQ(1u, got.size());
        EXPECT_EQ(ticket, got[0].ticket);
        EXPECT_EQ(DeliveryChannel::Telegram, got[0].channel);
        EXPECT_EQ(test.sent, got[0].sent);
        EXPECT_EQ(test.attempts, got[0].attempts);
        EXPECT_EQ(test.detail, got[0].detail);
        EXPECT_EQ("case", got[0].notice.message);
        EXPECT_EQ(test.waits, waits);
    }
}

TEST_F(QueueTest, OneSendAtATimePerChannelEachReportedOnceInOrder) {
    DeliveryQueue queue(Collect(), FakeWait());
    std::atomic<int> active[kDeliveryChannels] = {};
    std::atomic<bool> overlapped{false};
    std::map<std::uint32_t, DeliveryChannel> submitted;
    const DeliveryChannel channels[] = {DeliveryChannel::Mail, DeliveryChannel::Ntfy};
    for (int round = 0; round < 6; ++round) {
        for (DeliveryChannel channel : channels) {
            std::atomic<int>& mine = active[static_cast<int>(channel)];
            const std::uint32_t ticket = queue.Submit(channel, Notice(), [&mine, &overlapped] {
                if (++mine > 1)
                    overlapped = true;
                std::this_thread::sleep_for(2ms);
                --mine;
                return SendResult{true, false, "ok"};
            });
            ASSERT_NE(0u, ticket);
            submitted[ticket] = channel;
        }
    }
    const std::vector<DeliveryOutcome> got = WaitForReports(submitted.size());
    queue.Stop();
    EXPECT_FALSE(overlapped);
    ASSERT_EQ(submitted.size(), got.size());
    std::map<DeliveryChannel, std::uint32_t> lastTicket;
    for (const DeliveryOutcome& outcome : got) {
        EXPECT_EQ(submitted.at(outcome.ticket), outcome.channel);
        EXPECT_GT(outcome.ticket, lastTicket[outcome.channel]); // in order within a channel
        lastTicket[outcome.channel] = outcome.ticket;
        submitted.erase(outcome.ticket); // once each
    }
}

// A sender that blocks until the test lets it go.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    bool entered = false;
    void Open() {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        opened.notify_all();
    }
    bool WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex);
        return opened.wait_for(lock, 5s, [this] { return entered; });
    }
    Sender Blocking() {
        return [this] {
            std::unique_lock<std::mutex> lock(mutex);
            entered = true;
            opened.notify_all();
            opened.wait(lock, [this] { return open; });
            return SendResult{true, false, "late"};
        };
    }
};

TEST_F(QueueTest, BeyondTheBoundTheOldestWaitingIsReportedNotSent) {
    DeliveryQueue queue(Collect(), FakeWait());
    Gate gate;
    queue.Submit(DeliveryChannel::Webhook, Notice(), gate.Blocking());
    ASSERT_TRUE(gate.WaitEntered());
    std::vector<std::uint32_t> tickets;
    for (std::size_t i = 0; i <= kMostWaitingPerChannel; ++i)
        tickets.push_back(queue.Submit(DeliveryChannel::Webhook, Notice(), SentAtOnce()));
    gate.Open();
    const std::vector<DeliveryOutcome> all = WaitForReports(tickets.size() + 1);
    queue.Stop();
    ASSERT_EQ(tickets.size() + 1, all.size());
    for (const DeliveryOutcome& outcome : all) {
        const bool dropped = outcome.ticket == tickets.front();
        EXPECT_EQ(!dropped, outcome.sent);
        EXPECT_EQ(dropped ? 0 : 1, outcome.attempts);
        EXPECT_EQ(dropped, outcome.detail == "too many waiting");
    }
}

TEST_F(QueueTest, StopReportsWhatWaitedAndLeavesAHangingSendBehind) {
    {
        DeliveryQueue queue(Collect(), FakeWait());
        Gate gate;
        queue.Submit(DeliveryChannel::Mail, Notice(), gate.Blocking());
        ASSERT_TRUE(gate.WaitEntered());
        const std::uint32_t waiting = queue.Submit(DeliveryChannel::Mail, Notice(), SentAtOnce());
        std::thread opener([&gate] {
            std::this_thread::sleep_for(50ms);
            gate.Open();
        });
        queue.Stop(); // the send in progress ends within the wait
        opener.join();
        ASSERT_EQ(2u, reports.size());
        EXPECT_EQ("late", reports[0].detail);
        EXPECT_EQ(waiting, reports[1].ticket);
        EXPECT_FALSE(reports[1].sent);
        EXPECT_EQ("not sent: the program stopped", reports[1].detail);
        EXPECT_EQ(0u, queue.Submit(DeliveryChannel::Mail, Notice(), SentAtOnce()));
    }
    reports.clear();
    auto gate = std::make_shared<Gate>(); // outlives the queue: the left worker still uses it
    auto queue = std::make_unique<DeliveryQueue>(Collect(), FakeWait(), 100ms);
    queue->Submit(DeliveryChannel::Mail, Notice(), [gate] { return gate->Blocking()(); });
    ASSERT_TRUE(gate->WaitEntered());
    queue->Submit(DeliveryChannel::Mail, Notice(), SentAtOnce());
    const auto before = std::chrono::steady_clock::now();
    queue.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    gate->Open(); // the left worker ends now and reports nothing, the queue being gone
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(0u, ReportCount());
}

TEST_F(QueueTest, StopCutsTheRealWaitBeforeARetryShort) {
    DeliveryQueue queue(Collect());
    std::atomic<bool> tried{false};
    queue.Submit(DeliveryChannel::Ntfy, Notice(), [&tried] {
        tried = true;
        return SendResult{false, true, "HTTP 503"};
    });
    for (int i = 0; i < 5000 && !tried; ++i) // then it waits 30 s before the next try
        std::this_thread::sleep_for(1ms);
    const auto before = std::chrono::steady_clock::now();
    queue.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
    const std::vector<DeliveryOutcome> got = WaitForReports(1);
    ASSERT_EQ(1u, got.size());
    EXPECT_FALSE(got[0].sent);
    EXPECT_EQ(1, got[0].attempts);
    EXPECT_EQ("HTTP 503 (stopped before the next try)", got[0].detail);
}

TEST(DeliveryLog, OneLineOfChannelOutcomeAttemptsAndDetail) {
    DeliveryOutcome mail;
    mail.sent = true;
    mail.attempts = 1;
    mail.detail = "250 OK";
    EXPECT_EQ("DELIVERY:MAIL:SENT:1;250 OK", DeliveryLogLine(mail));
    DeliveryOutcome phone;
    phone.channel = DeliveryChannel::Telegram;
    phone.attempts = 3;
    phone.detail = "HTTP 401\r\nUnauthorized";
    EXPECT_EQ("DELIVERY:TELEGRAM:FAILED:3;HTTP 401  Unauthorized", DeliveryLogLine(phone));
}

TEST(Secrets, StandInRoundTripNeverStoresTheClearText) {
    for (const std::string clear : {"p", "pässwörd 密码", "123:AB-c_d"}) {
        const std::string stored = ProtectSecret(clear);
        EXPECT_EQ(std::string::npos, stored.find(clear)) << stored;
        EXPECT_EQ(clear, UnprotectSecret(stored));
    }
    EXPECT_EQ("", ProtectSecret(""));
    EXPECT_EQ("", UnprotectSecret(""));
    for (const char* foreign : {"password", "dpapi:AQAAAA==", "rev64:***", "rev64:"})
        EXPECT_FALSE(UnprotectSecret(foreign).has_value()) << foreign;
}
} // namespace
