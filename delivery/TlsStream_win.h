#pragma once
// TLS from the system (Schannel) over a connected socket: the client's handshake with the
// server's certificate checked against the system's trust store and the server's name, then
// records in and out.
#include <windows.h>
#include "delivery/TlsHandshake.h"
#define SECURITY_WIN32
#include <cstddef>
#include <security.h>
#include <string>

// The connection below the records, with its own timeouts and reasons of failure.
class ByteLink {
public:
    virtual ~ByteLink() = default;
    virtual bool SendAll(const char* data, std::size_t size) = 0;
    // Appends what arrives next; false when the peer closed, the read failed or timed out.
    virtual bool ReceiveSome(std::string& into) = 0;
};

enum class TlsResult {
    Ok,
    LinkFailed, // the link's own reason applies
    Closed,     // the server ended TLS (close notify)
    Refused,    // a TLS failure or a refused certificate: Error() says which
};

class TlsStream {
public:
    explicit TlsStream(ByteLink& link) : link(link) {}
    ~TlsStream();
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    // `serverName` goes out as SNI and is the name the certificate must carry.
    TlsResult Handshake(const std::string& serverName);
    TlsResult Send(const std::string& plain);
    // Appends the next decrypted bytes to `plain`.
    TlsResult Receive(std::string& plain);
    // Sends close notify, best effort; the stream is unusable after.
    void Shutdown();
    const std::string& Error() const { return error; }

private:
    TlsResult Negotiate(bool renegotiating);
    HandshakeStatus Step(const std::string& input, bool first, std::string& token,
                         std::size_t& extra, SECURITY_STATUS& status);
    TlsResult SendToken(SecBuffer& token);
    TlsResult VerifyServer();
    TlsResult Fail(const std::string& what, SECURITY_STATUS status);

    ByteLink& link;
    std::wstring serverName;
    CredHandle credentials{};
    CtxtHandle context{};
    bool haveCredentials = false;
    bool haveContext = false;
    bool established = false;
    SecPkgContext_StreamSizes sizes{};
    std::string incoming; // received records not yet decrypted
    std::string error;
};
