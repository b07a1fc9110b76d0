#include "delivery/MailChannel.h"
#include "delivery/MailMessage.h"
#include "delivery/MailSender.h"
#include "delivery/SmtpDialogue.h"
#include "platform/Text.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
// A mail server that follows a script: "S: line" it answers, "C: line" it expects from the
// client, "C: <message>" takes the DATA lines up to ".", "TLS" / "TLS!" a handshake that
// succeeds / fails. Anything off the script is recorded; past the end it stays silent.
class ScriptedServer final : public MailChannel {
public:
    ScriptedServer(std::vector<std::string> script, bool encrypted, bool loopback)
        : script_(std::move(script)), encrypted_(encrypted), loopback_(loopback) {}

    bool ReadLine(std::string& line) override {
        if (!Next("S: "))
            return false;
        line = script_[next_++].substr(3);
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
        if (Next("TLS!")) {
            ++next_;
            error = "the server's certificate is not trusted";
            return false;
        }
        if (!Next("TLS")) {
            offScript += "[TLS] ";
            return false;
        }
        ++next_;
        encrypted_ = true;
        return true;
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
        if (Next("C: <message>")) {
            if (line == ".")
                ++next_;
            else
                data += line + "\r\n";
        } else if (Next("C: ") && script_[next_].substr(3) == line) {
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
const std::string kPlainLogin =
    "C: AUTH PLAIN " + Base64Encode(std::string("\0trader\0", 8) + kPassword);
const char kMessage[] = "Subject: x\r\n\r\n.hidden\nbody";
const char kStuffed[] = "Subject: x\r\n\r\n..hidden\r\nbody\r\n";

std::vector<std::string> Then(std::vector<std::string> steps, const char* lastReply) {
    for (const char* step :
         {"C: MAIL FROM:<alerts@example.com>", "S: 250 ok", "C: RCPT TO:<me@example.com>",
          "S: 250 ok", "C: DATA", "S: 354 go", "C: <message>"})
        steps.push_back(step);
    steps.push_back(lastReply);
    if (lastReply[3] == '2')
        steps.insert(steps.end(), {"C: QUIT", "S: 221 bye"});
    else
        steps.push_back("C: QUIT");
    return steps;
}

struct DialogueCase {
    const char* name;
    MailSecurity security;
    bool login, encrypted, loopback;
    std::vector<std::string> script;
    bool sent, transient;
    const char* detail; // a part of it
};
} // namespace

TEST(MailDialogue, FollowsTheServerAndClassifiesFailures) {
    const auto S = MailSecurity::StartTls, T = MailSecurity::TlsOnConnect, N = MailSecurity::None;
    const DialogueCase cases[] = {
        {"multi-line replies", N, false, false, false,
         Then({"S: 220-mail.test", "S: 220 ready", "C: EHLO pc.test", "S: 250-mail.test",
               "S: 250-SIZE 1000", "S: 250 8BITMIME"},
              "S: 250 2.0.0 Ok: queued as 42"),
         true, false, "250 2.0.0 Ok: queued as 42"},
        {"STARTTLS, EHLO again, PLAIN first", S, true, false, false,
         Then({"S: 220 ready", "C: EHLO pc.test", "S: 250-mail.test", "S: 250-mail.test",
               "S: 250 STARTTLS", "C: STARTTLS", "S: 220 go ahead", "TLS", "C: EHLO pc.test",
               "S: 250-mail.test", "S: 250 AUTH LOGIN PLAIN", kPlainLogin, "S: 235 ok"},
              "S: 250 queued"),
         true, false, "250 queued"},
        {"LOGIN when PLAIN is not offered", T, true, true, false,
         Then({"S: 220 ready", "C: EHLO pc.test", "S: 250-mail.test", "S: 250 AUTH=CRAM-MD5 LOGIN",
               "C: AUTH LOGIN", "S: 334 VXNlcm5hbWU6", "C: " + Base64Encode("trader"),
               "S: 334 UGFzc3dvcmQ6", "C: " + Base64Encode(kPassword), "S: 235 ok"},
              "S: 250 queued"),
         true, false, "250 queued"},
        {"refused login",
         T,
         true,
         true,
         false,
         {"S: 220 ready", "C: EHLO pc.test", "S: 250-mail.test", "S: 250 AUTH PLAIN", kPlainLogin,
          std::string("S: 535 5.7.8 Authentication failed for ") + kPassword, "C: QUIT"},
         false,
         false,
         "535 5.7.8 Authentication failed"},
        {"4xx on MAIL FROM",
         N,
         false,
         false,
         false,
         {"S: 220 ready", "C: EHLO pc.test", "S: 250 mail.test",
          "C: MAIL FROM:<alerts@example.com>", "S: 451 4.3.0 try later", "C: QUIT"},
         false,
         true,
         "451 4.3.0 try later"},
        {"5xx on RCPT TO",
         N,
         false,
         false,
         false,
         {"S: 220 ready", "C: EHLO pc.test", "S: 250 mail.test",
          "C: MAIL FROM:<alerts@example.com>", "S: 250 ok", "C: RCPT TO:<me@example.com>",
          "S: 550 5.1.1 no such user", "C: QUIT"},
         false,
         false,
         "550 5.1.1 no such user"},
        {"password over a plain network",
         N,
         true,
         false,
         false,
         {"S: 220 ready", "C: EHLO pc.test", "S: 250-mail.test", "S: 250 AUTH PLAIN", "C: QUIT"},
         false,
         false,
         "unencrypted"},
        {"password over loopback", N, true, false, true,
         Then({"S: 220 ready", "C: EHLO pc.test", "S: 250-mail.test", "S: 250 AUTH PLAIN",
               kPlainLogin, "S: 235 ok"},
              "S: 250 queued"),
         true, false, "250 queued"},
        {"STARTTLS not offered",
         S,
         false,
         false,
         false,
         {"S: 220 ready", "C: EHLO pc.test", "S: 250-mail.test", "S: 250 SIZE 1000", "C: QUIT"},
         false,
         false,
         "does not offer STARTTLS"},
        {"handshake refused",
         S,
         false,
         false,
         false,
         {"S: 220 ready", "C: EHLO pc.test", "S: 250-mail.test", "S: 250 STARTTLS", "C: STARTTLS",
          "S: 220 go", "TLS!"},
         false,
         false,
         "not trusted"},
        {"silence after EHLO",
         N,
         false,
         false,
         false,
         {"S: 220 ready", "C: EHLO pc.test"},
         false,
         true,
         "no answer"},
        {"not a mail server",
         N,
         false,
         false,
         false,
         {"S: HTTP/1.1 400 Bad Request"},
         false,
         false,
         "not answer as a mail server"},
    };
    for (const DialogueCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(c.script, c.encrypted, c.loopback);
        SmtpSettings settings;
        settings.security = c.security;
        settings.user = c.login ? "trader" : "";
        settings.password = kPassword;
        settings.from = "alerts@example.com";
        settings.to = "me@example.com";
        const SendResult result = RunSmtpDialogue(server, settings, kMessage, "pc.test\r\nQUIT");
        EXPECT_EQ(result.sent, c.sent);
        EXPECT_EQ(result.transient, c.transient);
        EXPECT_NE(result.detail.find(c.detail), std::string::npos) << result.detail;
        EXPECT_TRUE(server.Finished()) << server.heard;
        EXPECT_EQ(server.offScript, "");
        if (c.sent) {
            EXPECT_EQ(server.data, kStuffed);
        }
        // Neither the password nor any encoding of it leaves in the detail.
        for (const std::string& secret : {std::string(kPassword), Base64Encode(kPassword),
                                          kPlainLogin.substr(sizeof "C: AUTH PLAIN " - 1)})
            EXPECT_EQ(result.detail.find(secret), std::string::npos) << result.detail;
        if (!c.encrypted && !c.loopback && c.security != S) {
            EXPECT_EQ(server.heard.find("AUTH"), std::string::npos);
        }
    }
}

TEST(MailMessage, ChineseSubjectGoesAsEncodedWordsThatDecodeBack) {
    AlertNotice notice{"黄金", "1923.5", "价格>1900.00 突破前高，请立即检查仓位和止损设置是否合理",
                       "", ""};
    const std::string mail = ComposeMail("a@example.com", "b@example.com", notice, "d", "id@x");
    const std::string headers = mail.substr(0, mail.find("\r\n\r\n") + 2);
    const std::size_t start = headers.find("Subject:");
    ASSERT_NE(start, std::string::npos);
    std::string decoded;
    int words = 0;
    for (std::size_t at = headers.find("=?", start); at < headers.find("\r\nDate:");
         at = headers.find("=?", at + 1), ++words) {
        const std::size_t end = headers.find("?=", at + 10) + 2;
        EXPECT_LE(end - at, 75u);
        ASSERT_EQ(headers.substr(at, 10), "=?UTF-8?B?");
        const auto chunk = Base64Decode(headers.substr(at + 10, end - at - 12));
        ASSERT_TRUE(chunk.has_value());
        EXPECT_TRUE(IsValidUtf8(*chunk)) << "a word ends inside a character";
        decoded += *chunk;
        at = end;
    }
    EXPECT_GT(words, 1);
    EXPECT_EQ(decoded, "黄金 1923.5 价格>1900.00 突破前高，请立即检查仓位和止损设置是否合理");
    for (std::size_t at = 0, end; (end = headers.find("\r\n", at)) != std::string::npos;
         at = end + 2)
        EXPECT_LE(end - at, 76u) << headers.substr(at, end - at);
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
    for (std::size_t at = 0, end; (end = body64.find("\r\n", at)) != std::string::npos;
         at = end + 2)
        EXPECT_LE(end - at, 76u);
    const auto body = Base64Decode(body64);
    ASSERT_TRUE(body.has_value());
    for (const char* part : {"Line one\r\nLine two\r\n", "Price>1.3000", "1.30012", "EURUSD",
                             "2024-03-05 14:07:09", "Pip Warden"})
        EXPECT_NE(body->find(part), std::string::npos) << part;
}

TEST(MailMessage, HeaderValuesNeverStartAHeader) {
    AlertNotice notice{"EURUSD\r\nBcc: victim@example.com", "1.3\nX-Evil: 1", "Price>1", "", ""};
    const std::string mail = ComposeMail("a@example.com\r\nBcc: b@example.com", "c@example.com",
                                         notice, "Tue\rX-Date: 1", "id\r\nX-Id: 1");
    const std::string headers = mail.substr(0, mail.find("\r\n\r\n") + 2);
    const std::vector<std::string> allowed = {
        "From:",       "To:",           "Subject:",      "Date:",
        "Message-ID:", "MIME-Version:", "Content-Type:", "Content-Transfer-Encoding:"};
    for (std::size_t at = 0, end; (end = headers.find("\r\n", at)) != std::string::npos;
         at = end + 2) {
        const std::string line = headers.substr(at, end - at);
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
    ScriptedServer server({"S: 220 ready"}, true, true);
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
