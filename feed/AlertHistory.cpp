#include "feed/AlertHistory.h"
#include "platform/FileSystem.h"
#include <algorithm>
#include <string_view>

namespace {
const char* const kByteOrderMark = "\xEF\xBB\xBF";
const std::vector<std::string> kColumnNames = {"Time",      "Pair",  "Event",
                                               "Condition", "Price", "Details"};
constexpr std::size_t kFieldCount = 6;
const char* const kCsvExtension = ".csv";
const char* const kCopyName = "alerthistory view";
constexpr int kCopyNames = 10;

enum class CsvEnd { LineStart, InLine, InQuotes };

struct CsvRecordSpan {
    std::size_t begin, end; // the line without its line break
};

// Finds the complete records of CSV text from `from` on without copying them, so the end of
// a large file is reached quickly. Line ends are CRLF, LF or CR; a quoted field may hold
// them. Returns where the text stopped; a record it stops inside is not listed.
CsvEnd ScanCsv(const std::string& text, std::size_t from, std::vector<CsvRecordSpan>* records) {
    bool quoted = false;
    std::size_t lineStart = from;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted; // a doubled quote inside a field flips twice
        } else if (!quoted && (c == '\r' || c == '\n')) {
            if (i > lineStart && records)
                records->push_back({lineStart, i});
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lineStart = i + 1;
        }
    }
    return quoted ? CsvEnd::InQuotes : lineStart < text.size() ? CsvEnd::InLine : CsvEnd::LineStart;
}

std::vector<std::string> ParseRecord(const std::string& text, CsvRecordSpan span) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = span.begin; i < span.end; ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < span.end && text[i + 1] == '"')
            fields.back() += text[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

std::size_t AfterByteOrderMark(const std::string& content) {
    const std::string mark = kByteOrderMark;
    return content.compare(0, mark.size(), mark) == 0 ? mark.size() : 0;
}

std::string ChannelWord(DeliveryChannel channel) {
    switch (channel) {
    case DeliveryChannel::Telegram:
        return "phone: Telegram";
    case DeliveryChannel::Ntfy:
        return "phone: ntfy";
    case DeliveryChannel::Webhook:
        return "phone: webhook";
    case DeliveryChannel::Mail:
        break;
    }
    return "e-mail";
}

// "-1.5", "+2", ".5": numbers, which a spreadsheet shows as they are.
bool LooksLikeNumber(const std::string& text) {
    std::size_t i = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
    bool digit = false, point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digit = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

// A formula to a spreadsheet, or such a field behind marks of its own (so that reading takes
// exactly one mark away).
bool NeedsTextMark(const std::string& field) {
    if (field.empty())
        return false;
    if (field[0] == '\'')
        return NeedsTextMark(field.substr(1));
    return std::string_view("=+-@").find(field[0]) != std::string_view::npos &&
           !LooksLikeNumber(field);
}

std::string WithoutTextMark(std::string field) {
    if (!field.empty() && field[0] == '\'' && NeedsTextMark(field.substr(1)))
        field.erase(0, 1);
    return field;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines)
        joined += line;
    return joined;
}

HistoryEvent EventOf(const std::vector<std::string>& fields) {
    return {WithoutTextMark(fields[0]), WithoutTextMark(fields[1]), WithoutTextMark(fields[2]),
            WithoutTextMark(fields[3]), WithoutTextMark(fields[4]), WithoutTextMark(fields[5])};
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}
} // namespace

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        const std::string field = NeedsTextMark(fields[i]) ? "'" + fields[i] : fields[i];
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            line += field;
            continue;
        }
        line += '"';
        for (const char c : field) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\r\n";
}

std::vector<std::string> HistoryFields(const HistoryEvent& event) {
    return {event.time, event.pair, event.kind, event.condition, event.price, event.details};
}

HistoryEvent FiredEvent(const std::string& time, const std::string& pair,
                        const std::string& condition, const std::string& price,
                        const std::string& actions) {
    return {time, pair, kHistoryFired, condition, price, actions};
}

HistoryEvent DeliveryEvent(const std::string& time, const DeliveryOutcome& outcome) {
    const AlertNotice& notice = outcome.notice;
    std::string details = ChannelWord(outcome.channel);
    if (!outcome.sent)
        details += ": " + OneLine(outcome.detail);
    return {
        time,         notice.symbol, outcome.sent ? kHistorySent : kHistoryFailed, notice.condition,
        notice.price, details};
}

HistoryEvent GuardEvent(const std::string& time, const FeedEvent& event) {
    HistoryEvent record;
    record.time = time;
    record.details = OneLine(FeedPopupText(event));
    switch (event.kind) {
    case FeedEventKind::EnteredStopped:
        record.kind = kHistoryStopped;
        record.condition = FeedTipText(event.since);
        break;
    case FeedEventKind::EnteredDisconnected:
        record.kind = kHistoryDisconnected;
        record.condition = event.status;
        break;
    case FeedEventKind::Recovered:
        record.kind = kHistoryMoving;
        break;
    }
    return record;
}

std::string HistoryPath(const std::string& programFolder) {
    return programFolder + kHistoryFileName;
}

std::string RotatedHistoryPath(const std::string& historyPath) {
    const std::size_t extension = std::string(kCsvExtension).size();
    if (historyPath.size() > extension &&
        historyPath.compare(historyPath.size() - extension, extension, kCsvExtension) == 0)
        return historyPath.substr(0, historyPath.size() - extension) + ".1" + kCsvExtension;
    return historyPath + ".1";
}

std::string WaitingHistoryPath(const std::string& historyPath) {
    const std::size_t extension = std::string(kCsvExtension).size();
    if (historyPath.size() > extension &&
        historyPath.compare(historyPath.size() - extension, extension, kCsvExtension) == 0)
        return historyPath.substr(0, historyPath.size() - extension) + ".waiting" + kCsvExtension;
    return historyPath + ".waiting";
}

std::optional<std::string> HistoryCopyForSpreadsheet(const std::string& historyPath,
                                                     const std::string& folder) {
    std::string content;
    if (!Files().ReadAll(historyPath, content) || content.empty())
        content = kByteOrderMark + CsvLine(kColumnNames);
    for (int number = 1; number <= kCopyNames; ++number) {
        const std::string copy =
            folder + kCopyName + (number == 1 ? "" : " " + std::to_string(number)) + kCsvExtension;
        if (Files().ReplaceAtomically(copy, content))
            return copy;
    }
    return std::nullopt;
}

AlertHistoryLog::AlertHistoryLog(std::string path) : path(std::move(path)) {}

void AlertHistoryLog::Prepare() {
    std::lock_guard<std::mutex> guard(lock);
    PrepareLocked();
    // Lines a previous run could not write join the file now.
    if (Files().Kind(WaitingHistoryPath(path)) != PathKind::Missing)
        WriteLocked();
}

// A torn line is closed where it stops, its open quote too, so the next line starts clean.
void AlertHistoryLog::PrepareLocked() {
    prepared = true;
    repair.clear();
    std::string content;
    if (Files().Size(path) <= 0 || !Files().ReadAll(path, content))
        return;
    const CsvEnd end = ScanCsv(content, AfterByteOrderMark(content), nullptr);
    if (end == CsvEnd::InQuotes)
        repair = "\"\r\n";
    else if (end == CsvEnd::InLine)
        repair = "\r\n";
}

bool AlertHistoryLog::Append(const HistoryEvent& event) {
    std::lock_guard<std::mutex> guard(lock);
    if (!prepared)
        PrepareLocked();
    waiting.push_back(CsvLine(HistoryFields(event)));
    if (WriteLocked())
        return true;
    if (waiting.size() > kHistoryMaxWaitingLines)
        SpillLocked();
    return false;
}

// The side file's lines, then the waiting ones, in the order they happened.
bool AlertHistoryLog::WriteLocked() {
    const std::string side = WaitingHistoryPath(path);
    const bool sideFile = Files().Kind(side) != PathKind::Missing;
    std::string lines;
    if (sideFile && !Files().ReadAll(side, lines))
        return false;
    lines += Joined(waiting);
    if (lines.empty())
        return true;

    std::int64_t size = Files().Size(path);
    if (size > 0 && size + static_cast<std::int64_t>(lines.size()) > kHistoryRotateBytes &&
        Files().MoveReplacing(path, RotatedHistoryPath(path)))
        size = -1;
    std::string content;
    if (size <= 0)
        content = kByteOrderMark + CsvLine(kColumnNames);
    else
        content = repair;
    content += lines;
    if (!Files().Append(path, content)) {
        prepared = false; // part of it may have been written: look at the end again
        return false;
    }
    waiting.clear();
    repair.clear();
    if (sideFile && !Files().Delete(side))
        Files().ReplaceAtomically(side, ""); // never written twice
    return true;
}

bool AlertHistoryLog::SpillLocked() {
    if (waiting.empty() || !Files().Append(WaitingHistoryPath(path), Joined(waiting)))
        return false;
    waiting.clear();
    return true;
}

void AlertHistoryLog::Flush() {
    std::lock_guard<std::mutex> guard(lock);
    if (waiting.empty())
        return;
    if (!prepared)
        PrepareLocked();
    if (!WriteLocked())
        SpillLocked();
}

std::size_t AlertHistoryLog::Waiting() const {
    std::lock_guard<std::mutex> guard(lock);
    return waiting.size();
}

bool AlertHistoryLog::Clear() {
    std::lock_guard<std::mutex> guard(lock);
    waiting.clear();
    repair.clear();
    prepared = true;
    bool cleared = true;
    for (const std::string& file : {path, RotatedHistoryPath(path), WaitingHistoryPath(path)})
        if (Files().Kind(file) != PathKind::Missing && !Files().Delete(file))
            cleared = false;
    return cleared;
}

std::vector<HistoryEvent> ReadNewestHistory(const std::string& path, std::size_t count) {
    std::vector<HistoryEvent> events;
    for (const std::string& file : {path, RotatedHistoryPath(path)}) {
        std::string content;
        if (events.size() >= count || !Files().ReadAll(file, content))
            continue;
        std::vector<CsvRecordSpan> spans;
        ScanCsv(content, AfterByteOrderMark(content), &spans);
        for (auto span = spans.rbegin(); span != spans.rend() && events.size() < count; ++span) {
            const std::vector<std::string> record = ParseRecord(content, *span);
            if (record.size() >= kFieldCount && record != kColumnNames)
                events.push_back(EventOf(record));
        }
    }
    return events;
}
