#pragma once
// The client's handshake loop of TLS, apart from the system's TLS itself: what goes into
// each step, when to read more from the server and what to send. The Windows stream runs it
// over Schannel; tests run it over a scripted step.
#include <cstddef>
#include <functional>
#include <string>

enum class HandshakeStatus {
    Ok,                    // complete
    ContinueNeeded,        // the token goes out, then the server's next message comes in
    IncompleteMessage,     // the input holds part of a message: read on, all of it again
    IncompleteCredentials, // a client certificate was asked for: the same input again
    Failed,
};

struct HandshakeStep {
    HandshakeStatus status = HandshakeStatus::Failed;
    std::string token;     // for the server, also with a failure (its alert)
    std::size_t extra = 0; // bytes at the end of the input the step left untouched
};

struct HandshakeIo {
    // One step on what the server sent; `first` for the first call of a first handshake,
    // which has no input.
    std::function<HandshakeStep(const std::string& input, bool first)> step;
    std::function<bool(const std::string& bytes)> send;
    std::function<bool(std::string& into)> receive; // appends what arrives next
};

enum class HandshakeEnd {
    Ok,
    LinkFailed,          // the link's own reason applies
    NotTls,              // the server answered with no TLS record: a plain greeting
    Oversized,           // far more than a handshake message waits undecoded
    CertificateDemanded, // asked again and again for a client certificate, which we have not
    Failed,              // the step's own status says why
};

// Runs steps until the handshake ends. `incoming` holds what the server sent and is not
// handled yet; after Ok it keeps what followed the handshake.
HandshakeEnd RunClientHandshake(const HandshakeIo& io, std::string& incoming, bool renegotiating);
