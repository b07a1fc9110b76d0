#include "delivery/SmtpDialogue.h"
#include "delivery/MailMessage.h"
#include "platform/Text.h"
#include <cctype>
#include <vector>

namespace {
constexpr std::size_t kMaxReplyLines = 100; // a server that never ends its reply
constexpr std::size_t kMaxDetailBytes = 300;

struct Reply {
    int code = 0;
    std::vector<std::string> lines; // the text after "250-" / "250 "
    std::string last;               // the last line as received
};

struct Failure {
    SendResult result;
    bool speaksSmtp = true; // worth a QUIT
};

class Dialogue {
public:
    Dialogue(MailChannel& channel, const SmtpSettings& settings)
        : channel_(channel), settings_(settings) {
        if (!settings.password.empty()) {
            secrets_.push_back(settings.password);
            secrets_.push_back(Base64Encode(settings.password));
            secrets_.push_back(PlainCredentials());
        }
    }

    SendResult Run(const std::string& message, const std::string& heloName);

private:
    Reply Read();
    Reply Command(const std::string& line);
    void Expect(const Reply& reply, int wanted);
    void Hello(const std::string& heloName);
    void Login();
    [[noreturn]] void Fail(const std::string& detail, bool transient, bool speaksSmtp = true);
    std::string Clean(std::string detail) const;
    std::string PlainCredentials() const {
        return Base64Encode(std::string(1, '\0') + settings_.user + '\0' + settings_.password);
    }
    bool Offers(const std::string& keyword) const;
    bool OffersAuth(const std::string& mechanism) const;

    MailChannel& channel_;
    const SmtpSettings& settings_;
    std::vector<std::string> secrets_;
    std::vector<std::string> extensions_; // the EHLO reply's lines after the first
};

// An extension line's words in capitals.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : ToUpperAscii(text) + " ") {
        if (c == ' ' || c == '=') { // "AUTH=PLAIN LOGIN" is the old form of the keyword
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

Reply Dialogue::Read() {
    Reply reply;
    for (std::size_t count = 0; count < kMaxReplyLines; ++count) {
        std::string line;
        if (!channel_.ReadLine(line)) {
            const std::string reason = channel_.LastError();
            Fail("no answer from the mail server" + (reason.empty() ? "" : ": " + reason), true,
                 false);
        }
        const bool wellFormed = line.size() >= 3 &&
                                std::isdigit(static_cast<unsigned char>(line[0])) &&
                                std::isdigit(static_cast<unsigned char>(line[1])) &&
                                std::isdigit(static_cast<unsigned char>(line[2])) &&
                                (line.size() == 3 || line[3] == ' ' || line[3] == '-');
        if (!wellFormed)
            Fail("the server does not answer as a mail server: " + line, false, false);
        const int code = std::stoi(line.substr(0, 3));
        if (reply.code != 0 && code != reply.code)
            Fail("the server does not answer as a mail server: " + line, false, false);
        reply.code = code;
        reply.lines.push_back(line.size() > 4 ? line.substr(4) : "");
        reply.last = line;
        if (line.size() == 3 || line[3] == ' ')
            return reply;
    }
    Fail("the mail server's answer does not end", false, false);
}

Reply Dialogue::Command(const std::string& line) {
    if (!channel_.Write(line + "\r\n")) {
        const std::string reason = channel_.LastError();
        Fail("the connection to the mail server was lost" + (reason.empty() ? "" : ": " + reason),
             true, false);
    }
    return Read();
}

void Dialogue::Expect(const Reply& reply, int wanted) {
    if (reply.code == wanted || (wanted == 250 && reply.code == 251))
        return;
    // 4xx: the server asks to come back later; anything else will not change by itself.
    Fail(reply.last, reply.code >= 400 && reply.code < 500);
}

void Dialogue::Fail(const std::string& detail, bool transient, bool speaksSmtp) {
    throw Failure{SendResult{false, transient, Clean(detail)}, speaksSmtp};
}

// One line, no secret, not overlong.
std::string Dialogue::Clean(std::string detail) const {
    for (const std::string& secret : secrets_) {
        for (std::size_t at = detail.find(secret); at != std::string::npos;
             at = detail.find(secret, at + 3))
            detail.replace(at, secret.size(), "***");
    }
    for (char& c : detail)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return CutUtf8(detail, kMaxDetailBytes);
}

bool Dialogue::Offers(const std::string& keyword) const {
    for (const std::string& line : extensions_) {
        const std::vector<std::string> words = Words(line);
        if (!words.empty() && words[0] == keyword)
            return true;
    }
    return false;
}

bool Dialogue::OffersAuth(const std::string& mechanism) const {
    for (const std::string& line : extensions_) {
        const std::vector<std::string> words = Words(line);
        if (words.empty() || words[0] != "AUTH")
            continue;
        for (std::size_t i = 1; i < words.size(); ++i)
            if (words[i] == mechanism)
                return true;
    }
    return false;
}

void Dialogue::Hello(const std::string& heloName) {
    Reply reply = Command("EHLO " + heloName);
    extensions_.clear();
    if (reply.code >= 500 && reply.code <= 504) {
        // A server of the old kind: no extensions, so no STARTTLS and no login.
        reply = Command("HELO " + heloName);
        Expect(reply, 250);
        return;
    }
    Expect(reply, 250);
    extensions_.assign(reply.lines.begin() + 1, reply.lines.end());
}

void Dialogue::Login() {
    if (!channel_.Encrypted() && !channel_.Loopback())
        Fail("the password would cross the network unencrypted; choose SSL/TLS or STARTTLS", false);
    if (OffersAuth("PLAIN")) {
        Expect(Command("AUTH PLAIN " + PlainCredentials()), 235);
        return;
    }
    if (!OffersAuth("LOGIN"))
        Fail(Offers("AUTH") ? "the mail server offers neither AUTH PLAIN nor AUTH LOGIN"
                            : "the mail server does not offer a login",
             false);
    Expect(Command("AUTH LOGIN"), 334);
    Expect(Command(Base64Encode(settings_.user)), 334);
    Expect(Command(Base64Encode(settings_.password)), 235);
}

SendResult Dialogue::Run(const std::string& message, const std::string& heloName) {
    if (settings_.security == MailSecurity::TlsOnConnect && !channel_.Encrypted())
        Fail("the connection to the mail server is not encrypted", false, false);
    Expect(Read(), 220);
    Hello(heloName);
    if (settings_.security == MailSecurity::StartTls && !channel_.Encrypted()) {
        if (!Offers("STARTTLS"))
            Fail("the mail server does not offer STARTTLS", false);
        Expect(Command("STARTTLS"), 220);
        std::string error;
        if (!channel_.StartTls(error))
            Fail("the secure connection failed: " + error, false, false);
        Hello(heloName);
    }
    if (!settings_.user.empty())
        Login();
    Expect(Command("MAIL FROM:<" + settings_.from + ">"), 250);
    Expect(Command("RCPT TO:<" + settings_.to + ">"), 250);
    Expect(Command("DATA"), 354);
    if (!channel_.Write(DataSection(message)))
        Fail("the connection to the mail server was lost: " + channel_.LastError(), true, false);
    const Reply accepted = Read();
    Expect(accepted, 250);
    // The message is the server's now; how QUIT goes changes nothing.
    if (channel_.Write("QUIT\r\n")) {
        std::string line;
        channel_.ReadLine(line);
    }
    return SendResult{true, false, Clean(accepted.last)};
}

// The name up to the first character a host name cannot hold: with a line break it would
// add a command.
std::string SafeHeloName(const std::string& name) {
    std::string safe;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.' && c != '[' &&
            c != ']' && c != ':')
            break;
        safe += c;
    }
    return safe.empty() ? "localhost" : safe;
}
} // namespace

SendResult RunSmtpDialogue(MailChannel& channel, const SmtpSettings& settings,
                           const std::string& message, const std::string& heloName) {
    // The addresses go into commands: one with a line break or a bracket would add another.
    if (!IsValidMailAddress(settings.from))
        return SendResult{false, false, "the sender address is not valid"};
    if (!IsValidMailAddress(settings.to))
        return SendResult{false, false, "the recipient address is not valid"};
    Dialogue dialogue(channel, settings);
    try {
        return dialogue.Run(message, SafeHeloName(heloName));
    } catch (const Failure& failure) {
        if (failure.speaksSmtp)
            channel.Write("QUIT\r\n");
        return failure.result;
    }
}
