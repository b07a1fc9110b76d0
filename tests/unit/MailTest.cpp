#include "delivery/MailChannel.h"
#include "delivery/MailMessage.h"
#include "delivery/MailSender.h"
#include "delivery/SmtpDialogue.h"
#include "platform/Text.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
// A mail server that follows a script of "|"-separated steps: "S:line" it answers, "C:line"
// it expects from the client, "C:<message>" takes the DATA lines up to ".", "TLS" / "TLS!"
// a handshake that succeeds / fails. Lines off the script are recorded; past its end the
// server stays silent.
class ScriptedServer final : public MailChannel {
public:
    ScriptedServer(const std::string& script, bool encrypted, bool loopback)
        : encrypted_(encrypted), loopback_(loopback) {
        for (std::size_t at = 0, end = 0; at < script.size(); at = end + 1) {
            end = std::min(script.find('|', at), script.size());
            script_.push_back(script.substr(at, end - at));
        }
    }

    bool ReadLine(std::string& line) override {
        if (!Next("S:"))
            return false;
        line = script_[next_++].substr(2);
        return true;
    }
    bool Write(const std::string& bytes) override {
        pending_ += bytes;
        for (std::size_t end; (end = pending_.find("\r\n")) != std::string::npos;) {
            Heard(pending_.substr(0, end));
            pending_.erase(0, end + 2);
        }
        return true;
    }
    bool StartTls(std::string& error) override {
        error = "the server's certificate is not trusted";
        if (!Next("TLS"))
            offScript += "[TLS] ";
        else
            encrypted_ = script_[next_++] == "TLS";
        return encrypted_;
    }
    bool Encrypted() const override { return encrypted_; }
    bool Loopback() const override { return loopback_; }
    std::string LastError() const override { return "closed"; }

    bool Finished() const { return next_ == script_.size() && pending_.empty(); }
    std::string heard; // every client line
    std::string data;  // the DATA lines as sent, stuffed
    std::string offScript;

private:
    bool Next(const std::string& prefix) const {
        return next_ < script_.size() && script_[next_].rfind(prefix, 0) == 0;
    }
    void Heard(const std::string& line) {
        heard += line + "\n";
        if (Next("C:<message>")) {
            if (line == ".")
                ++next_;
            else
                data += line + "\r\n";
        } else if (Next("C:") && script_[next_].substr(2) == line) {
            ++next_;
        } else {
            offScript += "[" + line + "] ";
        }
    }

    std::vector<std::string> script_;
    std::size_t next_ = 0;
    std::string pending_;
    bool encrypted_;
    bool loopback_;
};

const char kPassword[] = "s3cret!pw";
const char kFrom[] = "alerts@example.com";
const char kTo[] = "me@example.com";
const std::string kPlainBlob = Base64Encode(std::string("\0trader\0", 8) + kPassword);
const char kMessage[] = "Subject: x\r\n\r\n.hidden\nbody";
const char kStuffed[] = "Subject: x\r\n\r\n..hidden\r\nbody\r\n";

const std::string kHello = "S:220 ready|C:EHLO pc.test|S:250-mail.test|";
const std::string kPlainLogin = "C:AUTH PLAIN " + kPlainBlob + "|S:235 ok|";
const std::string kSend = "C:MAIL FROM:<alerts@example.com>|S:250 ok|C:RCPT TO:<me@example.com>|"
                          "S:250 ok|C:DATA|S:354 go|C:<message>|S:250 queued|C:QUIT|S:221 bye";

// The CRLF-ended lines of `text` before its first empty line (a message's header block).
std::vector<std::string> HeaderLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos && end > at;
         at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

struct DialogueCase {
    const char* name;
    MailSecurity security;
    char connection; // 'p'lain, 't'ls, 'l'oopback
    bool login;
    std::string script;
    char outcome;       // 's'ent, 't'ransient, 'f'inal
    const char* detail; // a part of it
};
} // namespace

TEST(MailDialogue, FollowsTheServerAndClassifiesFailures) {
    const auto S = MailSecurity::StartTls, T = MailSecurity::TlsOnConnect, N = MailSecurity::None;
    const DialogueCase cases[] = {
        {"multi-line replies", N, 'p', false,
         "S:220-mail.test|S:220 ready|C:EHLO pc.test|S:250-mail.test|S:250-SIZE 1000|"
         "S:250 8BITMIME|" +
             kSend,
         's', "250 queued"},
        {"STARTTLS, EHLO again, PLAIN first", S, 'p', true,
         kHello +
             "S:250 STARTTLS|C:STARTTLS|S:220 go|TLS|C:EHLO pc.test|S:250-mail.test|"
             "S:250 AUTH LOGIN PLAIN|" +
             kPlainLogin + kSend,
         's', "250 queued"},
        {"LOGIN when PLAIN is not offered", T, 't', true,
         kHello + "S:250 AUTH=CRAM-MD5 LOGIN|C:AUTH LOGIN|S:334 VXNlcm5hbWU6|C:" +
             Base64Encode("trader") + "|S:334 UGFzc3dvcmQ6|C:" + Base64Encode(kPassword) +
             "|S:235 ok|" + kSend,
         's', "250 queued"},
        {"refused login, the password echoed", T, 't', true,
         kHello + "S:250 AUTH PLAIN|C:AUTH PLAIN " + kPlainBlob +
             "|S:535 5.7.8 Authentication failed for " + kPassword + "|C:QUIT",
         'f', "535 5.7.8 Authentication failed for ***"},
        {"4xx on MAIL FROM", N, 'p', false,
         kHello + "S:250 SIZE 1000|C:MAIL FROM:<alerts@example.com>|S:451 4.3.0 try later|C:QUIT",
         't', "451 4.3.0 try later"},
        {"5xx on RCPT TO", N, 'p', false,
         kHello + "S:250 SIZE 1000|C:MAIL FROM:<alerts@example.com>|S:250 ok|"
                  "C:RCPT TO:<me@example.com>|S:550 5.1.1 no such user|C:QUIT",
         'f', "550 5.1.1 no such user"},
        {"password over a plain network", N, 'p', true, kHello + "S:250 AUTH PLAIN|C:QUIT", 'f',
         "unencrypted"},
        {"password over loopback", N, 'l', true, kHello + "S:250 AUTH PLAIN|" + kPlainLogin + kSend,
         's', "250 queued"},
        {"STARTTLS not offered", S, 'p', false, kHello + "S:250 SIZE 1000|C:QUIT", 'f',
         "does not offer STARTTLS"},
        {"handshake refused", S, 'p', false, kHello + "S:250 STARTTLS|C:STARTTLS|S:220 go|TLS!",
         'f', "not trusted"},
        {"silence after EHLO", N, 'p', false, "S:220 ready|C:EHLO pc.test", 't', "no answer"},
        {"not a mail server", N, 'p', false, "S:HTTP/1.1 400 Bad Request", 'f',
         "not answer as a mail server"},
    };
    for (const DialogueCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(c.script, c.connection == 't', c.connection == 'l');
        const SmtpSettings settings{"",        0,     c.security, c.login ? "trader" : "",
                                    kPassword, kFrom, kTo};
        const SendResult result = RunSmtpDialogue(server, settings, kMessage, "pc.test\r\nQUIT");
        EXPECT_EQ(result.sent, c.outcome == 's');
        EXPECT_EQ(result.transient, c.outcome == 't');
        EXPECT_NE(result.detail.find(c.detail), std::string::npos) << result.detail;
        EXPECT_TRUE(server.Finished()) << server.heard;
        EXPECT_EQ(server.offScript, "");
        EXPECT_EQ(server.data, c.outcome == 's' ? kStuffed : "");
        // Neither the password nor any encoding of it leaves in the detail.
        for (const std::string& secret :
             {std::string(kPassword), Base64Encode(kPassword), kPlainBlob})
            EXPECT_EQ(result.detail.find(secret), std::string::npos) << result.detail;
    }
}

TEST(MailMessage, ChineseSubjectGoesAsEncodedWordsThatDecodeBack) {
    const std::string subject =
        "黄金 1923.5 价格>1900.00 突破前高，请立即检查仓位和止损设置是否合理";
    const std::string field = HeaderField("Subject", subject);
    std::string decoded;
    int words = 0;
    for (const std::string& line : HeaderLines(field)) {
        EXPECT_LE(line.size(), 76u);
        const std::string word = line.substr(line.find(' ') + 1);
        ASSERT_LE(word.size(), 75u);
        ASSERT_EQ(word.substr(0, 10), "=?UTF-8?B?");
        ASSERT_EQ(word.substr(word.size() - 2), "?=");
        const auto chunk = Base64Decode(word.substr(10, word.size() - 12));
        ASSERT_TRUE(chunk.has_value()) << word;
        EXPECT_TRUE(IsValidUtf8(*chunk)) << "a word ends inside a character";
        decoded += *chunk;
        ++words;
    }
    EXPECT_GT(words, 1);
    EXPECT_EQ(decoded, subject);
    EXPECT_EQ(MailSubject(AlertNotice{"黄金", "1923.5", "价格>1900.00\r\n突破", "", ""}),
              "黄金 1923.5 价格>1900.00  突破");
}

TEST(MailMessage, HeadersAndBodyOfAnAlert) {
    AlertNotice notice{"EURUSD", "1.30012", "Price>1.3000", "Line one\nLine two",
                       "2024-03-05 14:07:09"};
    const std::string mail = ComposeMail("alerts@example.com", "me@example.com", notice,
                                         "Tue, 05 Mar 2024 14:07:09 +0800", "42@example.com");
    const std::size_t split = mail.find("\r\n\r\n");
    EXPECT_EQ(mail.substr(0, split + 4), "From: Pip Warden <alerts@example.com>\r\n"
                                         "To: <me@example.com>\r\n"
                                         "Subject: EURUSD 1.30012 Price>1.3000\r\n"
                                         "Date: Tue, 05 Mar 2024 14:07:09 +0800\r\n"
                                         "Message-ID: <42@example.com>\r\n"
                                         "MIME-Version: 1.0\r\n"
                                         "Content-Type: text/plain; charset=UTF-8\r\n"
                                         "Content-Transfer-Encoding: base64\r\n\r\n");
    const std::string body64 = mail.substr(split + 4);
    for (const std::string& line : HeaderLines(body64))
        EXPECT_LE(line.size(), 76u);
    const auto body = Base64Decode(body64);
    ASSERT_TRUE(body.has_value());
    for (const char* part : {"Line one\r\nLine two\r\n", "Price>1.3000", "1.30012", "EURUSD",
                             "2024-03-05 14:07:09", "Pip Warden"})
        EXPECT_NE(body->find(part), std::string::npos) << part;
}

TEST(MailMessage, OnlyFreeTextIsEncodedAndFoldsFallAtBlanks) {
    const std::string domain = "alerts-of-a-quite-long-trading-desk.test"; // 40 characters
    const std::string words = "EURUSD 1.30012 Price>1.3000 crossed the level the trader set "
                              "before the London open and held above it";
    const struct {
        const char* name;
        std::string value;
        bool encoded;
    } cases[] = {
        {"Message-ID", "<18e0f3c2a41.0.0123456789abcdef@" + domain + ">", false},
        {"From", "Pip Warden <alerts@" + domain + ">", false},
        {"To", "<a.trader.with.a.long.mailbox.name.for.alerts@" + domain + ">", false},
        {"Subject", words, false},
        {"Subject", "XAUUSD " + std::string(70, 'x') + " Price>1900", false},
        {"Subject", "says =?x?= here", true},
        {"Subject", std::string(1200, 'y'), true},
    };
    for (const auto& c : cases) {
        const std::string field = HeaderField(c.name, c.value);
        EXPECT_EQ(field.find("=?UTF-8?B?") != std::string::npos, c.encoded) << field;
        std::string unfolded;
        for (const std::string& line : HeaderLines(field)) {
            EXPECT_LE(line.size(), 998u);
            EXPECT_NE(line.find_first_not_of(' '), std::string::npos) << "a line of blanks";
            unfolded += line;
        }
        if (!c.encoded) {
            EXPECT_EQ(unfolded, std::string(c.name) + ": " + c.value);
        }
    }
    EXPECT_EQ(HeaderLines(HeaderField("Subject", words)).size(), 2u);
}

TEST(MailMessage, HeaderValuesNeverStartAHeader) {
    AlertNotice notice{"EURUSD\r\nBcc: victim@example.com", "1.3\nX-Evil: 1", "Price>1", "", ""};
    const std::string mail = ComposeMail("a@example.com\r\nBcc: b@example.com", "c@example.com",
                                         notice, "Tue\rX-Date: 1", "id\r\nX-Id: 1");
    const std::vector<std::string> allowed = {
        "From:",       "To:",           "Subject:",      "Date:",
        "Message-ID:", "MIME-Version:", "Content-Type:", "Content-Transfer-Encoding:"};
    const std::vector<std::string> lines = HeaderLines(mail);
    EXPECT_EQ(lines.size(), allowed.size());
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
        const bool known =
            std::any_of(allowed.begin(), allowed.end(),
                        [&](const std::string& name) { return line.rfind(name, 0) == 0; });
        EXPECT_TRUE(known || line[0] == ' ') << line;
    }
    for (const char* good : {"a@b.c", "first.last+fx@mail.example.com"})
        EXPECT_TRUE(IsValidMailAddress(good)) << good;
    for (const char* bad :
         {"", "a", "@b", "a@", "a@b\r\nRCPT TO:<x@y>", "a b@c", "<a@b>", "a@b@c", "名@例.cn"})
        EXPECT_FALSE(IsValidMailAddress(bad)) << bad;
    // The dialogue refuses such an address before a word is said.
    ScriptedServer server("S:220 ready", true, true);
    SmtpSettings settings;
    settings.from = "a@b.c>\r\nRCPT TO:<x@y.z";
    settings.to = "me@example.com";
    EXPECT_FALSE(RunSmtpDialogue(server, settings, "x", "pc").sent);
    EXPECT_EQ(server.heard, "");
}

TEST(MailMessage, DataSectionAndDate) {
    const std::pair<const char*, const char*> data[] = {
        {"a\r\n.b", "a\r\n..b\r\n.\r\n"},    {".x\r\n", "..x\r\n.\r\n"},
        {"a\nb\rc", "a\r\nb\r\nc\r\n.\r\n"}, {"a\r\n\r\n", "a\r\n\r\n.\r\n"},
        {"a.b\n..", "a.b\r\n...\r\n.\r\n"},  {"", ".\r\n"},
    };
    for (const auto& [message, wire] : data)
        EXPECT_EQ(DataSection(message), wire) << message;
    const std::tuple<LocalTime, int, const char*> dates[] = {
        {{2024, 3, 5, 14, 7, 9, 0}, 480, "Tue, 05 Mar 2024 14:07:09 +0800"},
        {{2000, 2, 29, 0, 0, 0, 0}, -330, "Tue, 29 Feb 2000 00:00:00 -0530"},
        {{2023, 12, 31, 23, 59, 59, 0}, 0, "Sun, 31 Dec 2023 23:59:59 +0000"},
        {{1970, 1, 1, 0, 0, 0, 0}, 60, "Thu, 01 Jan 1970 00:00:00 +0100"},
    };
    for (const auto& [time, offset, text] : dates)
        EXPECT_EQ(MailDateText(time, offset), text);
}

TEST(MailSender, SettingsAreCheckedBeforeConnecting) {
    const auto with = [](auto change) {
        SmtpSettings settings{
            "smtp.example.com", 587, MailSecurity::StartTls, "u", "p", " alerts@example.com ",
            "me@example.com"};
        change(settings);
        return settings;
    };
    const std::pair<SmtpSettings, const char*> cases[] = {
        {with([](SmtpSettings& s) { s.server = " "; }), "mail server is not set"},
        {with([](SmtpSettings& s) { s.server = "smtp.example.com\r\nX"; }), "not valid"},
        {with([](SmtpSettings& s) { s.port = 0; }), "1 to 65535"},
        {with([](SmtpSettings& s) { s.port = 65536; }), "1 to 65535"},
        {with([](SmtpSettings& s) { s.from = ""; }), "sender address is not set"},
        {with([](SmtpSettings& s) { s.to = "me"; }), "recipient address is not valid"},
        // Sound settings reach the connection, which the native build does not have.
        {with([](SmtpSettings&) {}), "only on Windows"},
    };
    for (const auto& [settings, detail] : cases) {
        const SendResult result = SendMailNow(settings, AlertNotice{});
        EXPECT_FALSE(result.sent);
        EXPECT_FALSE(result.transient);
        EXPECT_NE(result.detail.find(detail), std::string::npos) << result.detail;
    }
}
