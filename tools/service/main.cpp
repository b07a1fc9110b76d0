// Stand-in for the vendor's web service, for the tests and the demo: the two quote pages,
// the e-mail notification paths and the news pages, on the loopback interface only.
//
//   pipwarden_service --port N [--port-file F] [--record F] [--parent-pid P]
//                     [--max-lifetime S] [--news-period S] [--seed N]
//                     [--tls-cert C --tls-key K --tls-port-file F]
//
// Port 0 picks a free port; the chosen one is printed and written to the port file. The
// service ends by itself when the parent process is gone or the lifetime is over.
//
// Failures are asked for per request, either as a path prefix "/x/<mode>/jb.aspx" or as a
// query field "x=<mode>": nolength (no Content-Length), notfound (a 404 page), empty,
// zero (a zero byte in the body), longcell (an 11+ character price), huge (about 4 MB;
// huge<MB> that many megabytes), cut (the connection closes mid-body), badchunk (a chunked
// body whose framing breaks), slow<ms> (answer after a delay, at most 60 s).
//
// Test pages: GET /testpage/set?name=N&body=B stores the (percent-encoded) HTML B under the
// name N and answers "OK"; GET /testpage/N serves it as text/html, 404 when none is stored;
// GET /testpage/hits?name=N answers how many times N has been served.
// Names are taken in lower case and end at the first "&", since the program lower-cases
// addresses on this host and appends "&v=..." to them even without a "?".
//
// The phone services' stand-ins under /push/ are described in PushBoard.h. With a
// certificate and key they are also served over TLS on a second free port, written to the
// TLS port file, for the requests that the program makes to https:// addresses.
#include "PushBoard.h"
#include "QuoteBoard.h"
#include "ServiceRecord.h"
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <httplib.h>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <signal.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {
constexpr const char* kLoopback = "127.0.0.1";
constexpr int kDefaultLifetimeSeconds = 3600;
constexpr int kDefaultNewsPeriodSeconds = 60;
constexpr int kMaxDelayMs = 60000;
constexpr std::size_t kHugeBytes = 4u << 20;
constexpr long kMaxHugeMegabytes = 64;
constexpr auto kWatchInterval = std::chrono::milliseconds(200);
constexpr std::size_t kMaxTestPages = 1000; // a runaway test must not eat the machine
constexpr const char* kTestPagePrefix = "/testpage/";

std::atomic<bool> stopRequested{false};

struct Options {
    int port = -1;
    std::string portFile;
    std::string recordFile;
    long parentPid = 0;
    int lifetimeSeconds = kDefaultLifetimeSeconds;
    int newsPeriodSeconds = kDefaultNewsPeriodSeconds;
    std::uint64_t seed = 20240101;
    std::string tlsCertificate;
    std::string tlsKey;
    std::string tlsPortFile;
};

[[noreturn]] void Usage(const char* message) {
    std::fprintf(stderr, "pipwarden_service: %s\n", message);
    std::exit(2);
}

long Number(const char* text, const char* what) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 0)
        Usage(what);
    return value;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            Usage(("missing value after " + name).c_str());
        const char* value = argv[++i];
        if (name == "--port")
            options.port = static_cast<int>(Number(value, "bad --port"));
        else if (name == "--port-file")
            options.portFile = value;
        else if (name == "--record")
            options.recordFile = value;
        else if (name == "--parent-pid")
            options.parentPid = Number(value, "bad --parent-pid");
        else if (name == "--max-lifetime")
            options.lifetimeSeconds = static_cast<int>(Number(value, "bad --max-lifetime"));
        else if (name == "--news-period")
            options.newsPeriodSeconds = static_cast<int>(Number(value, "bad --news-period"));
        else if (name == "--tls-cert")
            options.tlsCertificate = value;
        else if (name == "--tls-key")
            options.tlsKey = value;
        else if (name == "--tls-port-file")
            options.tlsPortFile = value;
        else if (name == "--seed")
            options.seed = static_cast<std::uint64_t>(Number(value, "bad --seed"));
        else
            Usage(("unknown option " + name).c_str());
    }
    if (options.port < 0 || options.port > 65535)
        Usage("--port N is required (0 picks a free port)");
    if (options.tlsCertificate.empty() != options.tlsKey.empty())
        Usage("--tls-cert and --tls-key go together");
    if (options.newsPeriodSeconds < 1)
        options.newsPeriodSeconds = 1;
    return options;
}

// The failure mode of a request and the path it asks for underneath.
struct Mode {
    std::string name;
    std::string path;
};

Mode ModeOf(const httplib::Request& request) {
    Mode mode{request.get_param_value("x"), request.path};
    const std::string prefix = "/x/";
    if (request.path.rfind(prefix, 0) == 0) {
        const std::size_t end = request.path.find('/', prefix.size());
        mode.name = request.path.substr(
            prefix.size(), end == std::string::npos ? std::string::npos : end - prefix.size());
        mode.path = end == std::string::npos ? "/" : request.path.substr(end);
    }
    return mode;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

const char* const kNotFoundPage =
    "<html><head><title>The resource cannot be found.</title></head><body>"
    "<h1>Server Error in '/' Application.</h1><h2>HTTP Error 404 - Not Found.</h2>"
    "</body></html>\n";

std::string NewsPage(const httplib::Request& request, int periodSeconds,
                     std::chrono::steady_clock::time_point started) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - started);
    const long edition = static_cast<long>(elapsed.count() / periodSeconds) + 1;
    const std::string page = request.get_param_value("i");
    const std::string chinese = request.get_param_value("t") == "zh" ? " (zh)" : "";
    return "<html><head><title>Market news " + page + chinese +
           "</title></head><body>\n"
           "<h1>Market news, page " +
           page + chinese +
           "</h1>\n"
           "<p>Edition " +
           std::to_string(edition) +
           ": the dollar moved against the euro.</p>\n"
           "</body></html>\n";
}

// Sends the body in the way the mode asks for.
void Answer(httplib::Response& response, const std::string& modeName, std::string body,
            const char* type) {
    if (modeName == "notfound") {
        response.status = 404;
        response.set_content(kNotFoundPage, "text/html");
    } else if (modeName == "empty") {
        response.set_content("", type);
    } else if (modeName == "zero") {
        // The zero byte sits inside the first chunk the reader takes.
        response.set_content("<html>" + std::string(1, '\0') + "HIDDEN" + body, type);
    } else if (modeName.rfind("huge", 0) == 0) {
        // "huge" is about 4 MB; "huge10" about 10 MB.
        const long megabytes = std::atol(modeName.c_str() + 4);
        const std::size_t size =
            megabytes > 0 && megabytes <= kMaxHugeMegabytes ? static_cast<std::size_t>(megabytes) << 20
                                                         : kHugeBytes;
        std::string filler = "<!-- ";
        while (filler.size() < size)
            filler += "padding padding padding padding padding padding padding padding\n";
        response.set_content(body + filler + "-->\n", type);
    } else if (modeName == "nolength") {
        auto shared = std::make_shared<std::string>(std::move(body));
        response.set_chunked_content_provider(type, [shared](std::size_t, httplib::DataSink& sink) {
            sink.write(shared->data(), shared->size());
            sink.done();
            return true;
        });
    } else if (modeName == "badchunk") {
        // Announced as chunked, but the second chunk's size line is no number and the
        // connection closes after it.
        auto shared = std::make_shared<std::string>(
            "20\r\n" + body.substr(0, 32) + "\r\nzz\r\nnot a chunk at all\r\n");
        response.set_header("Transfer-Encoding", "chunked");
        response.set_content_provider(
            shared->size(), type,
            [shared](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset > 0)
                    return false;
                sink.write(shared->data(), shared->size());
                return true;
            });
    } else if (modeName == "cut") {
        auto shared = std::make_shared<std::string>(std::move(body));
        const std::size_t announced = shared->size() + 100000;
        response.set_content_provider(
            announced, type, [shared](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset > 0)
                    return false; // closes the connection mid-body
                sink.write(shared->data(), shared->size());
                return true;
            });
    } else {
        response.set_content(std::move(body), type);
    }
}

void DelayFor(const std::string& modeName) {
    if (modeName.rfind("slow", 0) != 0)
        return;
    long ms = std::atol(modeName.c_str() + 4);
    if (ms <= 0 || ms > kMaxDelayMs)
        ms = ms <= 0 ? 5000 : kMaxDelayMs;
    for (long waited = 0; waited < ms && !stopRequested; waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

// Pages whose content the tests set; the server answers on several threads.
class TestPages {
public:
    static std::string NameOf(const std::string& text) {
        std::string name = text.substr(0, text.find('&'));
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name;
    }
    bool Set(const std::string& name, std::string body) {
        std::lock_guard<std::mutex> lock(mutex);
        if (name.empty() || (pages.size() >= kMaxTestPages && pages.count(name) == 0))
            return false;
        pages[name] = std::move(body);
        return true;
    }
    bool Get(const std::string& name, std::string& body) {
        std::lock_guard<std::mutex> lock(mutex);
        const auto found = pages.find(name);
        if (found == pages.end())
            return false;
        ++hits[name];
        body = found->second;
        return true;
    }
    long Hits(const std::string& name) const {
        std::lock_guard<std::mutex> lock(mutex);
        const auto found = hits.find(name);
        return found == hits.end() ? 0 : found->second;
    }

private:
    mutable std::mutex mutex;
    std::map<std::string, std::string> pages;
    std::map<std::string, long> hits; // only of stored names, so it is bounded too
};

// The set and hits requests, or the page itself in the way the mode asks for.
void AnswerTestPage(const httplib::Request& request, httplib::Response& response, const Mode& mode,
                    TestPages& pages) {
    const std::string rest = mode.path.substr(std::string(kTestPagePrefix).size());
    if (rest == "set") {
        const bool stored = pages.Set(TestPages::NameOf(request.get_param_value("name")),
                                      request.get_param_value("body"));
        response.status = stored ? 200 : 400;
        response.set_content(stored ? "OK" : "NO", "text/plain");
    } else if (rest == "hits") {
        const long hits = pages.Hits(TestPages::NameOf(request.get_param_value("name")));
        response.set_content(std::to_string(hits), "text/plain");
    } else if (std::string body; pages.Get(TestPages::NameOf(rest), body)) {
        Answer(response, mode.name, std::move(body), "text/html");
    } else {
        response.status = 404;
        response.set_content(kNotFoundPage, "text/html");
    }
}

bool ParentGone(long pid) {
    return pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void WritePortFile(const std::string& path, int port) {
    if (path.empty())
        return;
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << port << '\n';
    }
    std::rename(temporary.c_str(), path.c_str()); // readers never see half a number
}
} // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTERM, [](int) { stopRequested = true; });
    std::signal(SIGINT, [](int) { stopRequested = true; });

    QuoteBoard board(options.seed);
    TestPages testPages;
    ServiceRecord record(options.recordFile);
    const auto started = std::chrono::steady_clock::now();
    PushBoard pushBoard;
    httplib::Server server;
    AddPushRoutes(server, pushBoard);

    server.Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        const Mode mode = ModeOf(request);
        DelayFor(mode.name);
        if (mode.path == "/jb.aspx" || mode.path == "/jc.aspx") {
            const int page = mode.path == "/jb.aspx" ? 1 : 2;
            Answer(response, mode.name, board.Page(page, mode.name == "longcell"), "text/html");
        } else if (mode.path == "/func/sendmail.aspx" || mode.path == "/soft/notify.aspx") {
            const std::size_t number = record.Add(mode.path, request.params);
            Answer(response, mode.name, "OK " + std::to_string(number), "text/plain");
        } else if (EndsWith(mode.path, "/news.aspx")) {
            Answer(response, mode.name, NewsPage(request, options.newsPeriodSeconds, started),
                   "text/html");
        } else if (mode.path.rfind(kTestPagePrefix, 0) == 0) {
            AnswerTestPage(request, response, mode, testPages);
        } else if (mode.path == "/requests") {
            response.set_content(record.Text(), "text/plain");
        } else if (mode.path.rfind("/price/", 0) == 0) {
            response.set_content(board.PriceText(mode.path.substr(7)), "text/plain");
        } else {
            response.status = 404;
            response.set_content(kNotFoundPage, "text/html");
        }
    });

    std::unique_ptr<httplib::SSLServer> tlsServer;
    std::thread tlsListener;
    if (!options.tlsCertificate.empty()) {
        tlsServer = std::make_unique<httplib::SSLServer>(options.tlsCertificate.c_str(),
                                                         options.tlsKey.c_str());
        AddPushRoutes(*tlsServer, pushBoard);
        const int tlsPort = tlsServer->is_valid() ? tlsServer->bind_to_any_port(kLoopback) : -1;
        if (tlsPort <= 0)
            Usage("cannot serve TLS with that certificate and key");
        WritePortFile(options.tlsPortFile, tlsPort); // before the main port: the scripts wait for that
        tlsListener = std::thread([&] { tlsServer->listen_after_bind(); });
    }

    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port(kLoopback);
        if (port <= 0)
            Usage("cannot bind a loopback port");
    } else if (!server.bind_to_port(kLoopback, port)) {
        Usage("cannot bind the loopback port");
    }
    WritePortFile(options.portFile, port);
    std::cout << "listening on " << kLoopback << ":" << port << std::endl;

    std::thread watchdog([&] {
        const auto deadline = started + std::chrono::seconds(options.lifetimeSeconds);
        while (!stopRequested && !ParentGone(options.parentPid) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(kWatchInterval);
        stopRequested = true;
        server.stop();
        if (tlsServer)
            tlsServer->stop();
    });
    server.listen_after_bind();
    stopRequested = true;
    watchdog.join();
    if (tlsListener.joinable())
        tlsListener.join();
    return 0;
}
