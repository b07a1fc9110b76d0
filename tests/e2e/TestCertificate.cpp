#include <windows.h>
#include "tests/e2e/TestCertificate.h"
#include "platform/Text.h"
#include "tests/e2e/Harness.h"
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>
#include <wincrypt.h>

namespace e2e {
namespace {

// The current user's trusted roots, where Windows asks before adding and Wine does not.
// The registry store itself: a delete through the "ROOT" system store succeeds under Wine
// and leaves the certificate in place.
HCERTSTORE OpenRootStore() {
    return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER,
                         L"ROOT");
}

std::string DerOf(const std::string& file) {
    const std::string text = ReadTextFile(file);
    DWORD size = 0;
    if (!CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()),
                              CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
        return text; // already DER
    std::string der(size, '\0');
    CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64HEADER,
                         reinterpret_cast<BYTE*>(der.data()), &size, nullptr, nullptr);
    der.resize(size);
    return der;
}

class TestAuthorities : public ::testing::Environment {
public:
    void SetUp() override {
        for (const char* variable : {"PIPWARDEN_SMTP_CA", "PIPWARDEN_SERVICE_CA"}) {
            const char* file = std::getenv(variable);
            if (!file || !*file)
                continue;
            try {
                trusted.push_back(std::make_unique<TrustedAuthority>(file));
            } catch (const std::exception& failure) {
                ADD_FAILURE() << failure.what();
            }
        }
    }
    void TearDown() override { trusted.clear(); }

private:
    std::vector<std::unique_ptr<TrustedAuthority>> trusted;
};

[[maybe_unused]] ::testing::Environment* const kTestAuthorities =
    ::testing::AddGlobalTestEnvironment(new TestAuthorities);

} // namespace

TrustedAuthority::TrustedAuthority(const std::string& certificateFile)
    : der(DerOf(certificateFile)) {
    HCERTSTORE store = OpenRootStore();
    const bool added = store && !der.empty() &&
                       CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
                                                        reinterpret_cast<const BYTE*>(der.data()),
                                                        static_cast<DWORD>(der.size()),
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    const DWORD error = GetLastError();
    if (store)
        CertCloseStore(store, 0);
    if (!added)
        throw std::runtime_error("cannot trust the test authority " + certificateFile + " (error " +
                                 std::to_string(error) + ")");
}

// Every authority of the same name goes, so that one left by a killed run goes too.
TrustedAuthority::~TrustedAuthority() {
    HCERTSTORE store = OpenRootStore();
    PCCERT_CONTEXT ours =
        CertCreateCertificateContext(X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                     static_cast<DWORD>(der.size()));
    if (store && ours) {
        // The delete frees the context that the search returned.
        while (PCCERT_CONTEXT found =
                   CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_NAME,
                                              &ours->pCertInfo->Subject, nullptr))
            if (!CertDeleteCertificateFromStore(found))
                break;
    }
    if (ours)
        CertFreeCertificateContext(ours);
    if (store)
        CertCloseStore(store, 0);
}

} // namespace e2e
