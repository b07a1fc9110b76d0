#include "feed/HistoryView.h"
#include "platform/FileSystem.h"
#include "settings/KindTextIds.h"
#include "settings/TextIds.h"
#include <algorithm>

namespace {
struct KindEntry {
    const char* kind;
    int entry;
    bool guard; // a feed event: its details already say what the condition says
};

const KindEntry kKinds[] = {
    {kHistoryFired, kTextHistoryFired, false},
    {kHistorySent, kTextHistorySent, false},
    {kHistoryFailed, kTextHistoryFailed, false},
    {kHistoryStopped, kTextHistoryStopped, true},
    {kHistoryDisconnected, kTextHistoryDisconnected, true},
    {kHistoryMoving, kTextHistoryMoving, true},
    {kHistorySnoozed, kTextHistorySnoozed, false},
    {kHistoryHeld, kTextHistoryHeld, false},
};

const KindEntry* FindKind(const std::string& kind) {
    for (const KindEntry& known : kKinds)
        if (kind == known.kind)
            return &known;
    return nullptr;
}

// A list view cell shows one line: a line break becomes one blank.
std::string OneLine(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        line += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
    return line;
}

std::string DetailsOf(const HistoryEvent& event, const KindEntry* kind) {
    if ((kind && kind->guard) || event.condition.empty())
        return OneLine(event.details);
    if (event.details.empty())
        return OneLine(event.condition);
    return OneLine(event.condition + "; " + event.details);
}
} // namespace

int HistoryKindEntry(const std::string& kind) {
    const KindEntry* known = FindKind(kind);
    return known ? known->entry : -1;
}

std::vector<HistoryRow> HistoryRows(const std::vector<HistoryEvent>& events,
                                    const std::string& pair, const HistoryText& text) {
    std::vector<HistoryRow> rows;
    for (const HistoryEvent& event : events) {
        if (!pair.empty() && !event.pair.empty() && event.pair != pair)
            continue;
        const KindEntry* kind = FindKind(event.kind);
        rows.push_back({event.time, event.pair.empty() ? text(kTextFeedPair) : event.pair,
                        kind ? text(kind->entry) : event.kind, event.price, DetailsOf(event, kind),
                        event.kind == kHistoryFailed});
    }
    return rows;
}

std::vector<std::string> HistoryPairs(const std::vector<HistoryEvent>& events) {
    std::vector<std::string> pairs;
    for (const HistoryEvent& event : events)
        if (!event.pair.empty())
            pairs.push_back(event.pair);
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    return pairs;
}

bool ClearHistory(const std::string& historyPath) {
    bool cleared = true;
    const std::string older = RotatedHistoryPath(historyPath);
    if (Files().Kind(older) != PathKind::Missing)
        cleared = Files().Delete(older);
    // Emptied rather than deleted: the writer starts an empty file afresh with its header.
    if (Files().Size(historyPath) > 0)
        cleared = Files().ReplaceAtomically(historyPath, "") && cleared;
    return cleared;
}
