#include "delivery/TlsHandshake.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
struct ScriptedStep {
    std::string input; // what the step must be given
    HandshakeStatus status;
    std::string token;
    std::size_t extra = 0;
};

struct HandshakeCase {
    const char* name;
    std::vector<std::string> arrivals; // what each read of the link gives
    std::vector<ScriptedStep> steps;
    HandshakeEnd end;
    std::string sent;
    std::string left; // what stays in the input after the handshake
};

// Steps follow the script; an input off the script reads as part of a message, as the
// system's TLS takes it.
HandshakeEnd RunScripted(const HandshakeCase& c, std::string& sent, std::string& incoming) {
    std::size_t nextStep = 0;
    std::size_t nextArrival = 0;
    HandshakeIo io;
    io.step = [&](const std::string& input, bool) {
        if (nextStep >= c.steps.size() || c.steps[nextStep].input != input)
            return HandshakeStep{HandshakeStatus::IncompleteMessage, "", 0};
        const ScriptedStep& step = c.steps[nextStep++];
        return HandshakeStep{step.status, step.token, step.extra};
    };
    io.send = [&](const std::string& bytes) {
        sent += bytes;
        return true;
    };
    io.receive = [&](std::string& into) {
        if (nextArrival >= c.arrivals.size())
            return false; // the server waits for us: the read times out
        into += c.arrivals[nextArrival++];
        return true;
    };
    return RunClientHandshake(io, incoming, false);
}
} // namespace

TEST(TlsHandshake, StepsFollowTheServer) {
    using S = HandshakeStatus;
    const std::string hello = "\x16hello+certificate request";
    const std::string finished = "\x16"
                                 "finished";
    const HandshakeCase cases[] = {
        {"an optional client certificate is left out",
         {hello, finished + "\x17"
                            "data"},
         {{"", S::ContinueNeeded, "C1"},
          {hello, S::IncompleteCredentials, ""},
          {hello, S::ContinueNeeded, "C2"},
          {finished + "\x17"
                      "data",
           S::Ok, "", 5}},
         HandshakeEnd::Ok,
         "C1C2",
         "\x17"
         "data"},
        {"a message in two reads",
         {hello.substr(0, 4), hello.substr(4)},
         {{"", S::ContinueNeeded, "C1"}, {hello, S::Ok, "C2"}},
         HandshakeEnd::Ok,
         "C1C2",
         ""},
        {"a certificate demanded without end",
         {hello},
         {{"", S::ContinueNeeded, "C1"},
          {hello, S::IncompleteCredentials, ""},
          {hello, S::IncompleteCredentials, ""},
          {hello, S::IncompleteCredentials, ""},
          {hello, S::IncompleteCredentials, ""}},
         HandshakeEnd::CertificateDemanded,
         "C1",
         hello},
        {"a plain greeting",
         {"220 mail.test ESMTP"},
         {{"", S::ContinueNeeded, "C1"}},
         HandshakeEnd::NotTls,
         "C1",
         "220 mail.test ESMTP"},
        {"a refusal with its alert",
         {hello},
         {{"", S::ContinueNeeded, "C1"}, {hello, S::Failed, "A"}},
         HandshakeEnd::Failed,
         "C1A",
         ""},
    };
    for (const HandshakeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string sent;
        std::string incoming;
        EXPECT_EQ(RunScripted(c, sent, incoming), c.end);
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(incoming, c.left);
    }
}
