#pragma once
// A connection to a mail server that the SMTP dialogue talks over: lines in, bytes out, and
// a switch to TLS in the middle (STARTTLS).
#include <memory>
#include <string>

struct MailTimeouts {
    unsigned connectMs = 15000;
    unsigned replyMs = 30000; // one reply line
    unsigned totalMs = 120000; // the whole dialogue
};

class MailChannel {
public:
    virtual ~MailChannel() = default;
    // One line of the server's reply without its CRLF; false when the connection closed,
    // failed or stayed silent past the reply time.
    virtual bool ReadLine(std::string& line) = 0;
    virtual bool Write(const std::string& bytes) = 0;
    // The TLS handshake over the open connection, the server's certificate verified against
    // the system's trust store and the server's name; false with the reason in `error`.
    virtual bool StartTls(std::string& error) = 0;
    virtual bool Encrypted() const = 0;
    // The peer is this machine (127.0.0.0/8 or ::1): the only place a password may go
    // without encryption.
    virtual bool Loopback() const = 0;
    // The reason of the last failed read or write, for the log.
    virtual std::string LastError() const = 0;
};

// Connects to host:port, with TLS at once when `tlsOnConnect`; nullptr with the reason in
// `error`. `transient` tells a failure worth another try (no answer, refused) from one that
// is not (a certificate refused, an unknown host name).
std::unique_ptr<MailChannel> OpenMailChannel(const std::string& host, int port, bool tlsOnConnect,
                                             const MailTimeouts& timeouts, std::string& error,
                                             bool& transient);
