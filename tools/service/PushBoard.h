#pragma once
// Stand-ins for the phone services (Telegram's bot interface, ntfy, a webhook) that record
// every request they get, for the tests to read back:
//
//   POST /push/telegram/bot<token>/sendMessage   {"ok":true,...}; token "bad": 401
//   POST /push/ntfy/<topic>                      {"id":...}
//   POST /push/webhook/<name>                    "ok"; a name "status<NNN>" answers NNN
//   GET  /push/received?channel=telegram|ntfy|webhook
//                                                every request of that channel: a line
//                                                "----- N <path>", the headers that matter,
//                                                an empty line and the body
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace httplib {
class Server;
}

class PushBoard {
public:
    void Add(const std::string& channel, std::string entry);
    std::string Text(const std::string& channel);

private:
    std::mutex mutex;
    std::map<std::string, std::vector<std::string>> entries;
    std::size_t count = 0;
};

// Registered before the service's catch-all GET handler, which would take them otherwise.
void AddPushRoutes(httplib::Server& server, PushBoard& board);
