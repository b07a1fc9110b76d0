#include "delivery/TlsHandshake.h"

namespace {
// The content types of TLS records, from the cipher change (20) to the heartbeat (24).
constexpr unsigned char kFirstRecordType = 20;
constexpr unsigned char kLastRecordType = 24;
// A record holds at most 16 KiB and its framing; far more waiting undecoded is no TLS.
constexpr std::size_t kMaxIncoming = 64 * 1024;
// A server asks for a certificate once per handshake; a step that keeps asking is stuck.
constexpr int kMostCredentialRequests = 3;
} // namespace

HandshakeEnd RunClientHandshake(const HandshakeIo& io, std::string& incoming, bool renegotiating) {
    bool first = !renegotiating;
    bool readMore = false;
    int credentialRequests = 0;
    for (;;) {
        if (readMore) {
            if (incoming.size() > kMaxIncoming)
                return HandshakeEnd::Oversized;
            if (!io.receive(incoming))
                return HandshakeEnd::LinkFailed;
            // A TLS record starts with its content type; a plain greeting here means the port
            // wants STARTTLS, and waiting for the rest of a "record" would only time out.
            const auto type = static_cast<unsigned char>(incoming[0]);
            if (type < kFirstRecordType || type > kLastRecordType)
                return HandshakeEnd::NotTls;
        }
        const HandshakeStep step = io.step(incoming, first);
        // A failure may come with an alert for the server; it goes out too.
        if (!step.token.empty() && !io.send(step.token))
            return HandshakeEnd::LinkFailed;
        if (step.status == HandshakeStatus::IncompleteMessage) {
            readMore = true;
            continue;
        }
        const bool hadInput = !first;
        first = false;
        if (step.status == HandshakeStatus::IncompleteCredentials) {
            // The step did not take the server's message: given it again, the system goes
            // on without a certificate (an empty certificate list is a valid answer).
            if (++credentialRequests > kMostCredentialRequests)
                return HandshakeEnd::CertificateDemanded;
            readMore = false;
            continue;
        }
        // Bytes after the message just handled stay for the next step, or are data.
        if (hadInput)
            incoming.erase(0, step.extra > 0 && step.extra <= incoming.size()
                                  ? incoming.size() - step.extra
                                  : incoming.size());
        if (step.status == HandshakeStatus::Ok)
            return HandshakeEnd::Ok;
        if (step.status != HandshakeStatus::ContinueNeeded)
            return HandshakeEnd::Failed;
        readMore = incoming.empty();
    }
}
