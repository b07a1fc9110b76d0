#include "tools/mt4sim/SimCommand.h"

#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Plain decimal digits only: no sign, no blanks, nothing after them; at most `limit`.
bool ParseUnsigned(const std::string& text, std::uint64_t limit, std::uint64_t& value) {
    if (text.empty())
        return false;
    std::uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (digit > limit || result > (limit - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
    std::uint64_t parsed = 0;
    if (low < 0 || high < low)
        return false;
    if (!ParseUnsigned(text, static_cast<std::uint64_t>(high), parsed) ||
        parsed < static_cast<std::uint64_t>(low))
        return false;
    value = static_cast<int>(parsed);
    return true;
}

} // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error) {
    for (const std::string& arg : args) {
        if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
            continue;
        const std::size_t separator = arg.find_first_of(":=");
        const std::string name = Lower(arg.substr(1, separator - 1));
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
        while (i < payload.size() && IsBlank(payload[i]))
            ++i;
        const std::size_t start = i;
        while (i < payload.size() && !IsBlank(payload[i]))
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

std::string AlertTitle(const std::string& payload) {
    std::size_t start = 0;
    std::size_t end = payload.size();
    while (start < end && IsBlank(payload[start]))
        ++start;
    while (end > start && (IsBlank(payload[end - 1]) || payload[end - 1] == '\0'))
        --end;
    return start == end ? kSimDefaultAlertTitle : payload.substr(start, end - start);
}
