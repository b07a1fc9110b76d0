// The text of a watched page over fuzzed markup: valid UTF-8 in gives valid UTF-8 out, and
// the visible text is single-spaced with no blank at either end.
#include "FuzzInput.h"
#include "news/PageText.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string html(reinterpret_cast<const char*>(data), size);
    const std::string visible = VisibleText(html);
    const std::string readable = ReadableText(html);
    if (IsValidUtf8(html)) {
        FUZZ_CHECK(IsValidUtf8(visible));
        FUZZ_CHECK(IsValidUtf8(readable));
    }
    if (!visible.empty()) {
        FUZZ_CHECK(visible.front() != ' ' && visible.back() != ' ');
        FUZZ_CHECK(visible.find("  ") == std::string::npos);
    }
    for (char c : visible)
        FUZZ_CHECK(c != '\t' && c != '\r' && c != '\n' && c != '\f' && c != '\v');
    std::string stored = visible;
    FUZZ_CHECK(!TakePageText(stored, visible) && stored == visible);
    return 0;
}
