#include "tests/e2e/TestMailServer.h"
#include "platform/Text.h"
#include <cstdlib>
#include <sstream>

namespace e2e {
namespace {

std::string Environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

ReceivedMail ReadMail(const std::string& base) {
    ReceivedMail mail;
    mail.content = ReadTextFile(base + ".eml");
    std::istringstream envelope(ReadTextFile(base + ".envelope"));
    for (std::string line; std::getline(envelope, line);) {
        const std::size_t colon = line.find(": ");
        const std::string key = line.substr(0, colon);
        const std::string value = colon == std::string::npos ? "" : line.substr(colon + 2);
        if (key == "listener")
            mail.listener = value;
        else if (key == "user")
            mail.user = value;
        else if (key == "tls")
            mail.tls = value == "yes";
        else if (key == "from")
            mail.from = value;
        else if (key == "to")
            mail.to.push_back(value);
    }
    return mail;
}

} // namespace

int MailServerPort(const std::string& listener) {
    return std::atoi(Environment("PIPWARDEN_SMTP_" + listener + "_PORT").c_str());
}

std::string MailServerUser() {
    return Environment("PIPWARDEN_SMTP_USER");
}

std::string MailServerPassword() {
    return Environment("PIPWARDEN_SMTP_PASSWORD");
}

std::string MailServerAuthority() {
    return Environment("PIPWARDEN_SMTP_CA");
}

std::optional<ReceivedMail> WaitForMail(const std::string& marker, Milliseconds timeout) {
    const std::string folder = Environment("PIPWARDEN_SMTP_MAILDIR");
    std::optional<ReceivedMail> found;
    WaitUntil(
        [&] {
            WIN32_FIND_DATAW entry;
            HANDLE search = FindFirstFileW(Widen(folder + "\\*.eml").c_str(), &entry);
            if (search == INVALID_HANDLE_VALUE)
                return false;
            do {
                std::string base = folder + "\\" + Narrow(entry.cFileName);
                base.resize(base.size() - 4); // ".eml"
                ReceivedMail mail = ReadMail(base);
                if (mail.content.find(marker) != std::string::npos)
                    found = std::move(mail);
            } while (!found && FindNextFileW(search, &entry));
            FindClose(search);
            return found.has_value();
        },
        timeout);
    return found;
}

} // namespace e2e
