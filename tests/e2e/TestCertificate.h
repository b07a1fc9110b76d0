#pragma once
// A test certificate authority trusted by the current user of this Wine prefix while the
// object lives, so that the system's TLS accepts the local test servers' certificates.
//
// Wine reads the trusted roots once per process, at its first certificate check: one
// added later is not seen there, one removed later stays trusted. So this test program
// trusts every test authority of the environment (PIPWARDEN_SMTP_CA, PIPWARDEN_SERVICE_CA)
// before its first test, for its own checks; a TrustedAuthority serves the programs that a
// test starts, created before they start.
#include <string>

namespace e2e {

class TrustedAuthority {
public:
    // The authority's certificate file, PEM or DER. Throws std::runtime_error when it cannot
    // be read or added.
    explicit TrustedAuthority(const std::string& certificateFile);
    ~TrustedAuthority(); // takes it out of the store again
    TrustedAuthority(const TrustedAuthority&) = delete;
    TrustedAuthority& operator=(const TrustedAuthority&) = delete;

private:
    std::string der;
};

} // namespace e2e
