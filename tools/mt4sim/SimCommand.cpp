#include "tools/mt4sim/SimCommand.h"

#include "platform/Text.h"
#include <limits>
#include <optional>

namespace {

// Plain decimal digits only: no sign, no blanks, nothing after them; low to high.
template <class Int> bool ParseDigits(const std::string& text, Int low, Int high, Int& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const std::optional<Int> parsed = ParseInteger<Int>(text);
    if (!parsed || *parsed < low || *parsed > high)
        return false;
    value = *parsed;
    return true;
}

bool ParseUnsigned(const std::string& text, std::uint64_t limit, std::uint64_t& value) {
    return ParseDigits<std::uint64_t>(text, 0, limit, value);
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
    return low >= 0 && ParseDigits(text, low, high, value);
}

} // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error) {
    for (const std::string& arg : args) {
        if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
            continue;
        const std::size_t separator = arg.find_first_of(":=");
        const std::string name = ToLowerAscii(arg.substr(1, separator - 1));
        const bool hasValue = separator != std::string::npos;
        const std::string value = hasValue ? arg.substr(separator + 1) : "";
        bool good = true;
        if (name == "layout") {
            good = ParseInt(value, 1, kSimLayoutCount, options.layout);
        } else if (name == "account") {
            std::uint64_t unused = 0;
            good = ParseUnsigned(value, std::numeric_limits<std::uint64_t>::max(), unused);
            if (good)
                options.account = value;
        } else if (name == "title") {
            good = hasValue;
            options.title = value;
        } else if (name == "seed") {
            good = ParseUnsigned(value, std::numeric_limits<std::uint64_t>::max(), options.seed);
        } else if (name == "rows") {
            good = ParseInt(value, 0, kSimMaxRows, options.rows);
        } else if (name == "interval") {
            good = ParseInt(value, kSimMinIntervalMs, kSimMaxIntervalMs, options.intervalMs);
        } else if (name == "frozen") {
            good = !hasValue;
            options.frozen = true;
        } else if (name == "loaddelay") {
            good = ParseInt(value, 0, kSimMaxLoadDelayMs, options.loadDelayMs);
        } else if (name == "ordertitle") {
            good = !value.empty();
            options.orderTitle = value;
        }
        if (!good) {
            error = "bad value in " + arg;
            return false;
        }
    }
    return true;
}

std::string TerminalTitle(const SimOptions& options) {
    return options.account + ": " + options.title;
}

std::vector<std::string> SplitFields(const std::string& payload) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < payload.size()) {
        while (i < payload.size() && IsBlankOrLineBreak(payload[i]))
            ++i;
        const std::size_t start = i;
        while (i < payload.size() && !IsBlankOrLineBreak(payload[i]))
            ++i;
        if (i > start)
            fields.push_back(payload.substr(start, i - start));
    }
    return fields;
}

bool RunMarketCommand(SimMarket& market, SimCommand command, const std::string& payload) {
    const std::vector<std::string> fields = SplitFields(payload);
    const std::size_t n = fields.size();
    int index = -1;
    switch (command) {
    case SimCommand::SetPrice:
        return n == 3 && market.SetPrice(fields[0], fields[1], fields[2]);
    case SimCommand::AddSymbol:
        if (n == 4 && !ParseInt(fields[3], 0, kSimMaxRows, index))
            return false;
        return (n == 3 || n == 4) && market.Add(fields[0], fields[1], fields[2], index);
    case SimCommand::RemoveSymbol:
        return n == 1 && market.Remove(fields[0]);
    case SimCommand::MoveSymbol:
        return n == 2 && ParseInt(fields[1], 0, kSimMaxRows, index) &&
               market.Move(fields[0], index);
    case SimCommand::FreezeWalk:
    case SimCommand::ResumeWalk:
        if (n != 0)
            return false;
        market.SetFrozen(command == SimCommand::FreezeWalk);
        return true;
    default:
        return false;
    }
}

int ResolveRow(const SimMarket& market, const std::string& payload) {
    const std::vector<std::string> fields = SplitFields(payload);
    if (fields.size() != 1)
        return -1;
    const int row = market.Find(fields[0]);
    if (row >= 0)
        return row;
    int index = -1;
    if (ParseInt(fields[0], 0, static_cast<int>(market.Quotes().size()) - 1, index))
        return index;
    return -1;
}

namespace {
std::string TrimmedOr(const std::string& payload, const char* fallback) {
    std::size_t start = 0;
    std::size_t end = payload.size();
    while (start < end && IsBlankOrLineBreak(payload[start]))
        ++start;
    while (end > start && (IsBlankOrLineBreak(payload[end - 1]) || payload[end - 1] == '\0'))
        --end;
    return start == end ? fallback : payload.substr(start, end - start);
}
} // namespace

std::string AlertTitle(const std::string& payload) {
    return TrimmedOr(payload, kSimDefaultAlertTitle);
}

std::string ConnectionText(const std::string& payload) {
    return TrimmedOr(payload, kSimDefaultConnectionText);
}
