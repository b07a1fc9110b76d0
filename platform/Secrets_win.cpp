#include <windows.h>
#include "platform/Secrets.h"
#include "platform/Text.h"
#include <wincrypt.h>

namespace {
constexpr char kStoredPrefix[] = "dpapi:";
constexpr std::size_t kStoredPrefixLength = sizeof kStoredPrefix - 1;

DATA_BLOB BlobOf(const std::string& bytes) {
    DATA_BLOB blob;
    blob.cbData = static_cast<DWORD>(bytes.size());
    blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    return blob;
}

std::string TakeBlob(DATA_BLOB& blob) {
    std::string bytes(reinterpret_cast<const char*>(blob.pbData), blob.cbData);
    SecureZeroMemory(blob.pbData, blob.cbData);
    LocalFree(blob.pbData);
    return bytes;
}
} // namespace

std::string ProtectSecret(const std::string& clear) {
    if (clear.empty())
        return "";
    DATA_BLOB in = BlobOf(clear);
    DATA_BLOB out = {};
    if (!CryptProtectData(&in, L"Pip Warden", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &out))
        return "";
    return kStoredPrefix + Base64Encode(TakeBlob(out));
}

std::optional<std::string> UnprotectSecret(const std::string& stored) {
    if (stored.empty())
        return std::string();
    if (stored.compare(0, kStoredPrefixLength, kStoredPrefix) != 0)
        return std::nullopt;
    const std::optional<std::string> sealed = Base64Decode(stored.substr(kStoredPrefixLength));
    if (!sealed || sealed->empty())
        return std::nullopt;
    DATA_BLOB in = BlobOf(*sealed);
    DATA_BLOB out = {};
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            &out))
        return std::nullopt;
    return TakeBlob(out);
}
