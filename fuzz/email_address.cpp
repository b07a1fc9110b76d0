// The e-mail address rule of the options over fuzzed texts.
#include "FuzzInput.h"
#include "options/OptionRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string address(reinterpret_cast<const char*>(data), size);
    if (!IsValidEmailAddress(address))
        return 0;
    // What every accepted address has: a name, "@", a domain with a point inside it, and
    // nothing that would break the settings line or the request.
    const std::size_t at = address.find('@');
    FUZZ_CHECK(at != std::string::npos && at >= 2);
    const std::size_t dot = address.find('.', at + 2);
    FUZZ_CHECK(dot != std::string::npos && dot + 1 < address.size());
    for (char c : address)
        FUZZ_CHECK(static_cast<unsigned char>(c) > ' ' && c != 0x7F);
    return 0;
}
