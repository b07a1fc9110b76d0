#include "platform/Secrets.h"
#include "platform/Text.h"
#include <algorithm>

// The native build has no account-bound store: the stand-in only keeps the secret out of
// plain sight, under a prefix of its own so that Windows refuses its texts.
namespace {
constexpr char kStoredPrefix[] = "rev64:";
constexpr std::size_t kStoredPrefixLength = sizeof kStoredPrefix - 1;
} // namespace

std::string ProtectSecret(const std::string& clear) {
    if (clear.empty())
        return "";
    return kStoredPrefix + Base64Encode(std::string(clear.rbegin(), clear.rend()));
}

std::optional<std::string> UnprotectSecret(const std::string& stored) {
    if (stored.empty())
        return std::string();
    if (stored.compare(0, kStoredPrefixLength, kStoredPrefix) != 0)
        return std::nullopt;
    std::optional<std::string> reversed = Base64Decode(stored.substr(kStoredPrefixLength));
    if (!reversed || reversed->empty())
        return std::nullopt;
    std::reverse(reversed->begin(), reversed->end());
    return reversed;
}
