#include "PushBoard.h"
#include <cstdlib>
#include <httplib.h>

namespace {
constexpr std::size_t kMostEntriesPerChannel = 200; // a runaway test must not eat the machine
constexpr std::size_t kMostBodyBytes = 64 * 1024;
const char* const kRecordedHeaders[] = {"Content-Type", "User-Agent", "Title", "Priority", "Tags"};

std::string Entry(const httplib::Request& request) {
    std::string entry = request.path + "\n";
    for (const char* name : kRecordedHeaders) {
        if (request.has_header(name))
            entry += std::string(name) + ": " + request.get_header_value(name) + "\n";
    }
    return entry + "\n" + request.body.substr(0, kMostBodyBytes) + "\n";
}
} // namespace

void PushBoard::Add(const std::string& channel, std::string entry) {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::string>& list = entries[channel];
    if (list.size() >= kMostEntriesPerChannel)
        list.erase(list.begin());
    list.push_back("----- " + std::to_string(++count) + " " + entry);
}

std::string PushBoard::Text(const std::string& channel) {
    std::lock_guard<std::mutex> lock(mutex);
    std::string text;
    const auto found = entries.find(channel);
    if (found != entries.end()) {
        for (const std::string& entry : found->second)
            text += entry;
    }
    return text;
}

void AddPushRoutes(httplib::Server& server, PushBoard& board) {
    server.Post(R"(/push/telegram/bot([^/]+)/sendMessage)", [&board](
                                                                const httplib::Request& request,
                                                                httplib::Response& response) {
        board.Add("telegram", Entry(request));
        if (request.matches[1] == "bad") {
            response.status = 401;
            response.set_content(R"({"ok":false,"error_code":401,"description":"Unauthorized"})",
                                 "application/json");
            return;
        }
        response.set_content(R"({"ok":true,"result":{"message_id":1}})", "application/json");
    });
    server.Post(R"(/push/ntfy/([^/]+))",
                [&board](const httplib::Request& request, httplib::Response& response) {
                    board.Add("ntfy", Entry(request));
                    response.set_content(R"({"id":"e2e","event":"message"})", "application/json");
                });
    server.Post(R"(/push/webhook/([^/]+))", [&board](const httplib::Request& request,
                                                     httplib::Response& response) {
        board.Add("webhook", Entry(request));
        const std::string name = request.matches[1];
        if (name.rfind("status", 0) == 0) {
            const int status = std::atoi(name.c_str() + 6);
            if (status >= 200 && status <= 599) {
                response.status = status;
                response.set_content("answer of status " + name.substr(6) + "\nsecond line",
                                     "text/plain");
                return;
            }
        }
        response.set_content("ok", "text/plain");
    });
    server.Get("/push/received",
               [&board](const httplib::Request& request, httplib::Response& response) {
                   response.set_content(board.Text(request.get_param_value("channel")),
                                        "text/plain; charset=utf-8");
               });
}
