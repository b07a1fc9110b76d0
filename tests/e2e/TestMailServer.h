#pragma once
// The local mail server that scripts/lib/smtpd.sh starts: its listeners, its one account,
// and the mail it has received.
#include "tests/e2e/Harness.h"
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// "STARTTLS", "TLS", "WRONGNAME", "UNTRUSTED", "CLIENTCERT", "PLAIN" or "SLOW" (greets after
// SMTPD_DELAY s); 0 when the server's environment is not set.
int MailServerPort(const std::string& listener);
std::string MailServerUser();
std::string MailServerPassword();
std::string MailServerAuthority(); // the test authority's PEM file

struct ReceivedMail {
    std::string content;  // as the server received it, CRLF line ends
    std::string listener; // "starttls", "tls", ...
    std::string user;     // authenticated as; empty when none
    bool tls = false;
    std::string from;
    std::vector<std::string> to;
};

// The first received mail whose content holds `marker`, waited for.
std::optional<ReceivedMail> WaitForMail(const std::string& marker, Milliseconds timeout);

} // namespace e2e
