#include "delivery/TlsStream_win.h"
#include "platform/Text.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <schannel.h>
#include <wincrypt.h>

namespace {

constexpr DWORD kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                ISC_REQ_CONFIDENTIALITY | ISC_REQ_EXTENDED_ERROR |
                                ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM;

// A record holds at most 16 KiB and its framing; far more waiting undecrypted is no TLS.
constexpr std::size_t kMaxIncoming = 64 * 1024;

std::string Hex(unsigned long code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", code);
    return text;
}

std::string CertificateProblem(DWORD status) {
    switch (status) {
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
        return "the server's certificate is for another name";
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING):
    case static_cast<DWORD>(TRUST_E_CERT_SIGNATURE):
    case static_cast<DWORD>(CERT_E_UNTRUSTEDTESTROOT):
        return "the server's certificate is not trusted";
    case static_cast<DWORD>(CERT_E_EXPIRED):
        return "the server's certificate has expired or is not valid yet";
    case static_cast<DWORD>(CERT_E_WRONG_USAGE):
        return "the server's certificate is not meant for a server";
    case static_cast<DWORD>(CRYPT_E_REVOKED):
        return "the server's certificate has been revoked";
    default:
        return "the server's certificate was refused (" + Hex(status) + ")";
    }
}

// Chain errors that mean no trusted authority vouches for the certificate.
constexpr DWORD kUntrustedChain = CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_UNTRUSTED_ROOT |
                                  CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_CYCLIC;

// What is wrong with the server's chain for that name; 0 when nothing. The chain's own
// status comes first: Wine's policy check passes a chain whose issuer is nowhere to be found.
// Windows refuses each of these in the policy check as well.
DWORD ChainProblem(PCCERT_CHAIN_CONTEXT chain, wchar_t* serverName) {
    const DWORD errors = chain->TrustStatus.dwErrorStatus;
    if (errors & kUntrustedChain)
        return static_cast<DWORD>(CERT_E_UNTRUSTEDROOT);
    if (errors & CERT_TRUST_IS_NOT_TIME_VALID)
        return static_cast<DWORD>(CERT_E_EXPIRED);
    if (errors & CERT_TRUST_IS_REVOKED)
        return static_cast<DWORD>(CRYPT_E_REVOKED);
    if (errors & CERT_TRUST_IS_NOT_VALID_FOR_USAGE)
        return static_cast<DWORD>(CERT_E_WRONG_USAGE);

    SSL_EXTRA_CERT_CHAIN_POLICY_PARA sslSettings{};
    sslSettings.cbSize = sizeof sslSettings;
    sslSettings.dwAuthType = AUTHTYPE_SERVER;
    sslSettings.pwszServerName = serverName;
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &sslSettings;
    CERT_CHAIN_POLICY_STATUS verdict{};
    verdict.cbSize = sizeof verdict;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &verdict))
        return GetLastError();
    return verdict.dwError;
}

// Frees what Schannel allocated for an output token, whatever path leaves the scope.
struct OutputToken {
    SecBuffer buffer{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc description{SECBUFFER_VERSION, 1, &buffer};
    ~OutputToken() {
        if (buffer.pvBuffer)
            FreeContextBuffer(buffer.pvBuffer);
    }
};

} // namespace

TlsStream::~TlsStream() {
    if (haveContext)
        DeleteSecurityContext(&context);
    if (haveCredentials)
        FreeCredentialsHandle(&credentials);
}

TlsResult TlsStream::Fail(const std::string& what, SECURITY_STATUS status) {
    switch (status) {
    case SEC_E_INVALID_TOKEN:
    case SEC_E_ILLEGAL_MESSAGE:
        error = what + ": the server does not speak TLS here, or broke off";
        break;
    case SEC_E_ALGORITHM_MISMATCH:
        error = what + ": the server offers no TLS version or cipher this system accepts";
        break;
    default:
        error = what + " (" + Hex(static_cast<unsigned long>(status)) + ")";
    }
    return TlsResult::Refused;
}

TlsResult TlsStream::Handshake(const std::string& name) {
    serverName = Widen(name);
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    // TLS 1.2 asked for by name: Windows 7 leaves it off for clients that do not.
    settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    // The certificate is checked below, so that a refusal comes with a reason.
    settings.dwFlags =
        SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
    SECURITY_STATUS status =
        AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                  nullptr, &settings, nullptr, nullptr, &credentials, nullptr);
    if (status != SEC_E_OK)
        return Fail("the system's TLS is unavailable", status);
    haveCredentials = true;

    TlsResult result = Negotiate(false);
    if (result != TlsResult::Ok)
        return result;
    status = QueryContextAttributesW(&context, SECPKG_ATTR_STREAM_SIZES, &sizes);
    if (status != SEC_E_OK)
        return Fail("the TLS connection gave no record sizes", status);
    result = VerifyServer();
    established = result == TlsResult::Ok;
    return result;
}

TlsResult TlsStream::SendToken(SecBuffer& token) {
    if (token.pvBuffer && token.cbBuffer > 0 &&
        !link.SendAll(static_cast<const char*>(token.pvBuffer), token.cbBuffer))
        return TlsResult::LinkFailed;
    return TlsResult::Ok;
}

HandshakeStatus TlsStream::Step(const std::string& input, bool first, std::string& token,
                                std::size_t& extra, SECURITY_STATUS& status) {
    std::string bytes = input; // Schannel may work in the buffer it is given
    SecBuffer inputs[2] = {{static_cast<ULONG>(bytes.size()), SECBUFFER_TOKEN, bytes.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inputDescription{SECBUFFER_VERSION, 2, inputs};
    OutputToken output;
    ULONG attributes = 0;
    status = InitializeSecurityContextW(&credentials, first ? nullptr : &context, serverName.data(),
                                        kContextFlags, 0, 0, first ? nullptr : &inputDescription, 0,
                                        &context, &output.description, &attributes, nullptr);
    if (first && !FAILED(status))
        haveContext = true;
    if (output.buffer.pvBuffer && output.buffer.cbBuffer > 0)
        token.assign(static_cast<const char*>(output.buffer.pvBuffer), output.buffer.cbBuffer);
    extra = inputs[1].BufferType == SECBUFFER_EXTRA ? inputs[1].cbBuffer : 0;
    switch (status) {
    case SEC_E_OK:
        return HandshakeStatus::Ok;
    case SEC_I_CONTINUE_NEEDED:
        return HandshakeStatus::ContinueNeeded;
    case SEC_E_INCOMPLETE_MESSAGE:
        return HandshakeStatus::IncompleteMessage;
    case SEC_I_INCOMPLETE_CREDENTIALS:
        return HandshakeStatus::IncompleteCredentials;
    default:
        return HandshakeStatus::Failed;
    }
}

// A first handshake starts without input; a renegotiation starts from what the server sent
// (possibly nothing yet) in `incoming`.
TlsResult TlsStream::Negotiate(bool renegotiating) {
    SECURITY_STATUS last = SEC_E_OK;
    HandshakeIo io;
    io.step = [&](const std::string& input, bool first) {
        HandshakeStep step;
        step.status = Step(input, first, step.token, step.extra, last);
        return step;
    };
    io.send = [&](const std::string& bytes) { return link.SendAll(bytes.data(), bytes.size()); };
    io.receive = [&](std::string& into) { return link.ReceiveSome(into); };
    switch (RunClientHandshake(io, incoming, renegotiating)) {
    case HandshakeEnd::Ok:
        return TlsResult::Ok;
    case HandshakeEnd::LinkFailed:
        return TlsResult::LinkFailed;
    case HandshakeEnd::NotTls:
        error = "the mail server answered without TLS: this port may need STARTTLS";
        return TlsResult::Refused;
    case HandshakeEnd::Oversized:
        return Fail("the TLS handshake failed", SEC_E_ILLEGAL_MESSAGE);
    case HandshakeEnd::CertificateDemanded:
        error = "the server demands a client certificate";
        return TlsResult::Refused;
    case HandshakeEnd::Failed:
        break;
    }
    return Fail("the TLS handshake failed", last);
}

TlsResult TlsStream::VerifyServer() {
    PCCERT_CONTEXT certificate = nullptr;
    SECURITY_STATUS status =
        QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate);
    if (status != SEC_E_OK || !certificate)
        return Fail("the server sent no certificate", status);

    LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH),
                      const_cast<LPSTR>(szOID_SERVER_GATED_CRYPTO),
                      const_cast<LPSTR>(szOID_SGC_NETSCAPE)};
    CERT_CHAIN_PARA chainSettings{};
    chainSettings.cbSize = sizeof chainSettings;
    chainSettings.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chainSettings.RequestedUsage.Usage.cUsageIdentifier = ARRAYSIZE(usages);
    chainSettings.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    // The server's intermediate certificates come in the certificate's own store.
    const BOOL built = CertGetCertificateChain(
        nullptr, certificate, nullptr, certificate->hCertStore, &chainSettings, 0, nullptr, &chain);
    const DWORD buildError = GetLastError();
    CertFreeCertificateContext(certificate);
    if (!built)
        return Fail("the server's certificate could not be checked", buildError);

    const DWORD problem = ChainProblem(chain, serverName.data());
    CertFreeCertificateChain(chain);
    if (problem != 0) {
        error = CertificateProblem(problem);
        return TlsResult::Refused;
    }
    return TlsResult::Ok;
}

TlsResult TlsStream::Send(const std::string& plain) {
    if (!established)
        return TlsResult::Closed;
    std::string record;
    for (std::size_t done = 0; done < plain.size();) {
        const std::size_t chunk =
            std::min<std::size_t>(plain.size() - done, sizes.cbMaximumMessage);
        record.assign(sizes.cbHeader + chunk + sizes.cbTrailer, '\0');
        std::memcpy(&record[sizes.cbHeader], plain.data() + done, chunk);
        SecBuffer buffers[4] = {
            {sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
            {static_cast<ULONG>(chunk), SECBUFFER_DATA, record.data() + sizes.cbHeader},
            {sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes.cbHeader + chunk},
            {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = EncryptMessage(&context, 0, &description, 0);
        if (status != SEC_E_OK)
            return Fail("encrypting for the server failed", status);
        const std::size_t length = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
        if (!link.SendAll(record.data(), length))
            return TlsResult::LinkFailed;
        done += chunk;
    }
    return TlsResult::Ok;
}

TlsResult TlsStream::Receive(std::string& plain) {
    for (;;) {
        if (!established)
            return TlsResult::Closed;
        if (!incoming.empty()) {
            SecBuffer buffers[4] = {
                {static_cast<ULONG>(incoming.size()), SECBUFFER_DATA, incoming.data()},
                {0, SECBUFFER_EMPTY, nullptr},
                {0, SECBUFFER_EMPTY, nullptr},
                {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
            const SECURITY_STATUS status = DecryptMessage(&context, &description, 0, nullptr);
            if (status != SEC_E_INCOMPLETE_MESSAGE) {
                if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE &&
                    status != SEC_I_CONTEXT_EXPIRED)
                    return Fail("decrypting the server's data failed", status);
                // Decrypted in place: take the data and what follows it before reusing the buffer.
                const std::size_t before = plain.size();
                std::string extra;
                for (const SecBuffer& buffer : buffers) {
                    if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0)
                        plain.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
                    else if (buffer.BufferType == SECBUFFER_EXTRA && buffer.cbBuffer > 0)
                        extra.assign(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
                }
                incoming = std::move(extra);
                if (status == SEC_I_CONTEXT_EXPIRED) {
                    established = false; // close notify
                    return plain.size() > before ? TlsResult::Ok : TlsResult::Closed;
                }
                if (status == SEC_I_RENEGOTIATE) {
                    // The server wants a new handshake; its certificate may change with it.
                    TlsResult result = Negotiate(true);
                    if (result == TlsResult::Ok)
                        result = VerifyServer();
                    if (result != TlsResult::Ok) {
                        established = false;
                        return result;
                    }
                }
                if (plain.size() > before)
                    return TlsResult::Ok;
                continue; // a record without data: read on
            }
        }
        if (incoming.size() > kMaxIncoming)
            return Fail("decrypting the server's data failed", SEC_E_ILLEGAL_MESSAGE);
        if (!link.ReceiveSome(incoming))
            return TlsResult::LinkFailed;
    }
}

void TlsStream::Shutdown() {
    if (!established)
        return;
    established = false;
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control{sizeof type, SECBUFFER_TOKEN, &type};
    SecBufferDesc controlDescription{SECBUFFER_VERSION, 1, &control};
    if (ApplyControlToken(&context, &controlDescription) != SEC_E_OK)
        return;
    OutputToken output;
    ULONG attributes = 0;
    const SECURITY_STATUS status =
        InitializeSecurityContextW(&credentials, &context, serverName.data(), kContextFlags, 0, 0,
                                   nullptr, 0, &context, &output.description, &attributes, nullptr);
    if (!FAILED(status))
        SendToken(output.buffer);
}
