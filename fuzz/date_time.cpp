// The date-time reader over fuzzed texts: alone, in every short date pattern the program
// meets, and in a fuzzed pattern. What it accepts must write out and read back unchanged.
#include "FuzzInput.h"
#include "platform/MessageBox.h"
#include "settings/DateTime.h"

namespace {
// This build's own pattern, those the tests name, and other common ones of the system's
// locales.
const std::string kPatterns[] = {
    UserShortDatePattern(), "M/d/yyyy", "dd.MM.yyyy", "yyyy/M/d", "dd/MM/yyyy", "d/M/yy",
    "d. M. yyyy", "dddd, MMMM d, yyyy", "yyyy-MM-dd", "d.M.yyyy", "dd-MM-yy", "yyyy.MM.dd.",
    "M/d/yy", "yy/MM/dd", "d-MMM-yy", "'Day' d 'of' M yyyy"};

void CheckValue(const DateTimeValue& value) {
    if (!value.IsValid())
        return;
    const std::string text = FormatDateTime(value);
    FUZZ_CHECK(ParseDateTime(text).IsValid());
    FUZZ_CHECK(FormatDateTime(ParseDateTime(text)) == text);
    FUZZ_CHECK(DateDiff('s', value, value) == 0);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = (SetMessageSink([](const std::string&, const std::string&) {}), true);
    (void)quiet;
    const auto parts = InputParts(data, size, 3);
    const std::string& text = parts[0];
    CheckValue(ParseDateTime(text));
    for (const std::string& pattern : kPatterns)
        CheckValue(ParseDateTime(text, pattern));
    CheckValue(ParseDateTime(text, parts[1]));
    for (char unit : {'y', 'M', 'd', 'h', 'n', 's', parts[2].empty() ? 'x' : parts[2][0]})
        DateDiffText(unit, text, parts[1], kPatterns[0]);
    DateTimeText(text);
    return 0;
}
