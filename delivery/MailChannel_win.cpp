// The mail connection on Windows: a non-blocking Winsock socket whose every wait has a
// deadline, and TLS from the system on connect or when the dialogue asks for it.
#include "delivery/MailChannel.h"
#include "delivery/TlsStream_win.h"
#include "platform/Text.h"
#include <algorithm>
#include <chrono>
#include <climits>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

using Clock = std::chrono::steady_clock;

// No reply line of SMTP comes near this; a server sending more without a line break is broken.
constexpr std::size_t kMaxReplyLine = 64 * 1024;
constexpr std::size_t kReceiveChunk = 16 * 1024;
// Time for close notify at the end; the mail has gone or failed by then.
constexpr unsigned kCloseMs = 2000;

bool StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

std::string InSeconds(unsigned ms) {
    return std::to_string((ms + 999) / 1000) + " s";
}

std::string SocketProblem(const std::string& what, int code) {
    switch (code) {
    case WSAECONNRESET:
    case WSAECONNABORTED:
        return "the mail server dropped the connection";
    case WSAECONNREFUSED:
        return what + ": the connection was refused";
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
        return what + ": the network cannot reach it";
    default:
        return what + " (error " + std::to_string(code) + ")";
    }
}

bool IsLoopback(const sockaddr* address) {
    if (address->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
        return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
    }
    if (address->sa_family == AF_INET6) {
        const IN6_ADDR& v6 = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
        return IN6_IS_ADDR_LOOPBACK(&v6) || (IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127);
    }
    return false;
}

// Waits until the socket can be read or written, or the deadline passes.
enum class Ready { Yes, TimedOut, Failed };
Ready WaitForSocket(SOCKET socket, bool writable, Clock::time_point deadline) {
    for (;;) {
        const auto now = Clock::now();
        if (now >= deadline)
            return Ready::TimedOut;
        const long long left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - now).count();
        timeval wait{static_cast<long>(left / 1000000), static_cast<long>(left % 1000000)};
        fd_set ready, failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(socket, &ready);
        FD_SET(socket, &failed);
        const int count =
            select(0, writable ? nullptr : &ready, writable ? &ready : nullptr, &failed, &wait);
        if (count == SOCKET_ERROR)
            return Ready::Failed;
        if (count > 0)
            return Ready::Yes; // a failed socket shows it in the next call
    }
}

class SocketChannel final : public MailChannel, private ByteLink {
public:
    SocketChannel(SOCKET socket, bool loopback, std::string host, const MailTimeouts& timeouts,
                  Clock::time_point openedAt)
        : socket(socket), loopback(loopback), host(std::move(host)), timeouts(timeouts),
          totalEnd(openedAt + std::chrono::milliseconds(timeouts.totalMs)) {}

    ~SocketChannel() override {
        if (tls) {
            StartWait(kCloseMs, "");
            tls->Shutdown();
        }
        closesocket(socket);
    }

    bool ReadLine(std::string& line) override {
        if (broken)
            return false;
        StartWait(timeouts.replyMs, "no reply from the mail server within ");
        for (;;) {
            const std::size_t end = received.find('\n');
            if (end != std::string::npos) {
                line.assign(received, 0, end);
                received.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                return true;
            }
            if (received.size() > kMaxReplyLine)
                return Break("the mail server's reply line is too long");
            if (!Fill())
                return false;
        }
    }

    bool Write(const std::string& bytes) override {
        if (broken)
            return false;
        StartWait(timeouts.replyMs, "the mail server took no data within ");
        if (!tls)
            return SendAll(bytes.data(), bytes.size());
        return Finish(tls->Send(bytes), *tls);
    }

    bool StartTls(std::string& error) override {
        bool transient = false;
        return Encrypt(error, transient);
    }

    // The handshake; `transient` when the connection, not TLS, failed. A failed handshake
    // leaves the channel unusable, so nothing goes on in the clear.
    bool Encrypt(std::string& error, bool& transient) {
        transient = false;
        if (broken || tls) {
            error = broken ? lastError : "the connection is already encrypted";
            return false;
        }
        // Text after the reply to STARTTLS would be read as if it came encrypted.
        if (!received.empty()) {
            Break("the mail server sent more than its reply before TLS began");
            error = lastError;
            return false;
        }
        StartWait(timeouts.replyMs, "no answer to the TLS handshake within ");
        auto stream = std::make_unique<TlsStream>(static_cast<ByteLink&>(*this));
        const TlsResult result = stream->Handshake(host);
        if (result == TlsResult::Ok) {
            tls = std::move(stream);
            return true;
        }
        transient = result == TlsResult::LinkFailed;
        Finish(result, *stream);
        error = lastError;
        return false;
    }

    bool Encrypted() const override { return tls != nullptr; }
    bool Loopback() const override { return loopback; }
    std::string LastError() const override { return lastError; }

private:
    void StartWait(unsigned ms, const std::string& reason) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        deadline = std::min(end, totalEnd);
        deadlineReason = end <= totalEnd ? reason + InSeconds(ms)
                                         : "the mail server took longer than " +
                                               InSeconds(timeouts.totalMs) + " in all";
    }

    bool Break(const std::string& reason) {
        lastError = reason;
        broken = true;
        return false;
    }

    bool Finish(TlsResult result, const TlsStream& stream) {
        switch (result) {
        case TlsResult::Ok:
            return true;
        case TlsResult::LinkFailed:
            return Break(lastError);
        case TlsResult::Closed:
            return Break("the mail server closed the connection");
        case TlsResult::Refused:
            break;
        }
        return Break(stream.Error());
    }

    bool Fill() {
        if (!tls)
            return ReceiveSome(received);
        return Finish(tls->Receive(received), *tls);
    }

    bool Wait(bool writable) {
        switch (WaitForSocket(socket, writable, deadline)) {
        case Ready::Yes:
            return true;
        case Ready::TimedOut:
            return Break(deadlineReason);
        case Ready::Failed:
            break;
        }
        return Break(SocketProblem("waiting for the mail server failed", WSAGetLastError()));
    }

    bool SendAll(const char* data, std::size_t size) override {
        while (size > 0) {
            if (!Wait(true))
                return false;
            const int sent =
                send(socket, data, static_cast<int>(std::min<std::size_t>(size, INT_MAX)), 0);
            if (sent == SOCKET_ERROR) {
                const int code = WSAGetLastError();
                if (code == WSAEWOULDBLOCK)
                    continue;
                return Break(SocketProblem("sending to the mail server failed", code));
            }
            data += sent;
            size -= static_cast<std::size_t>(sent);
        }
        return true;
    }

    bool ReceiveSome(std::string& into) override {
        char buffer[kReceiveChunk];
        for (;;) {
            if (!Wait(false))
                return false;
            const int got = recv(socket, buffer, sizeof buffer, 0);
            if (got > 0) {
                into.append(buffer, static_cast<std::size_t>(got));
                return true;
            }
            if (got == 0)
                return Break("the mail server closed the connection");
            const int code = WSAGetLastError();
            if (code != WSAEWOULDBLOCK)
                return Break(SocketProblem("reading from the mail server failed", code));
        }
    }

    SOCKET socket;
    bool loopback;
    std::string host;
    MailTimeouts timeouts;
    Clock::time_point totalEnd;
    Clock::time_point deadline;
    std::string deadlineReason;
    std::unique_ptr<TlsStream> tls;
    std::string received; // plain text not yet returned as lines
    std::string lastError;
    bool broken = false;
};

// One address tried within the deadline; INVALID_SOCKET with the Winsock code otherwise
// (WSAETIMEDOUT when the time ran out).
SOCKET ConnectTo(const ADDRINFOW& address, Clock::time_point deadline, int& code) {
    SOCKET connected = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (connected == INVALID_SOCKET) {
        code = WSAGetLastError();
        return INVALID_SOCKET;
    }
    u_long nonBlocking = 1;
    code = 0;
    if (ioctlsocket(connected, FIONBIO, &nonBlocking) != 0)
        code = WSAGetLastError();
    else if (connect(connected, address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0) {
        code = WSAGetLastError();
        if (code == WSAEWOULDBLOCK) {
            const Ready ready = WaitForSocket(connected, true, deadline);
            code = ready == Ready::TimedOut ? WSAETIMEDOUT : 0;
            int socketError = 0;
            int length = sizeof socketError;
            if (ready == Ready::Failed)
                code = WSAGetLastError();
            else if (ready == Ready::Yes &&
                     getsockopt(connected, SOL_SOCKET, SO_ERROR,
                                reinterpret_cast<char*>(&socketError), &length) == 0)
                code = socketError;
        }
    }
    if (code != 0) {
        closesocket(connected);
        return INVALID_SOCKET;
    }
    return connected;
}

} // namespace

std::unique_ptr<MailChannel> OpenMailChannel(const std::string& host, int port, bool tlsOnConnect,
                                             const MailTimeouts& timeouts, std::string& error,
                                             bool& transient) {
    transient = false;
    if (host.empty() || port <= 0 || port > 65535) {
        error = host.empty() ? "no mail server is set" : "the mail server's port is not valid";
        return nullptr;
    }
    if (!StartWinsock()) {
        error = "the system's network sockets are unavailable";
        return nullptr;
    }
    const Clock::time_point openedAt = Clock::now();
    const std::string where = host + ":" + std::to_string(port);

    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    ADDRINFOW* addresses = nullptr;
    const int looked =
        GetAddrInfoW(Widen(host).c_str(), std::to_wstring(port).c_str(), &hints, &addresses);
    if (looked != 0) {
        // A name that does not exist stays so; a name server that failed may answer later.
        transient = looked == WSATRY_AGAIN;
        error = looked == WSAHOST_NOT_FOUND || looked == WSANO_DATA
                    ? "the mail server \"" + host + "\" is not known"
                    : SocketProblem("looking up the mail server \"" + host + "\" failed", looked);
        return nullptr;
    }

    const Clock::time_point deadline = openedAt + std::chrono::milliseconds(timeouts.connectMs);
    SOCKET connected = INVALID_SOCKET;
    bool loopback = false;
    int code = 0;
    for (const ADDRINFOW* address = addresses; address && connected == INVALID_SOCKET;
         address = address->ai_next) {
        connected = ConnectTo(*address, deadline, code);
        loopback = IsLoopback(address->ai_addr);
        if (code == WSAETIMEDOUT)
            break;
    }
    FreeAddrInfoW(addresses);
    if (connected == INVALID_SOCKET) {
        transient = true;
        error = code == WSAETIMEDOUT ? "no answer from the mail server at " + where + " within " +
                                           InSeconds(timeouts.connectMs)
                                     : SocketProblem("cannot connect to " + where, code);
        return nullptr;
    }

    auto channel = std::make_unique<SocketChannel>(connected, loopback, host, timeouts, openedAt);
    if (tlsOnConnect && !channel->Encrypt(error, transient))
        return nullptr;
    return channel;
}
