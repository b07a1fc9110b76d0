#include "quotes/StatusBarReader.h"
#include "platform/Text.h"
#include "quotes/ReaderText.h"
#include <algorithm>

namespace {
const char* const kPartSeparator = " | ";

// English texts are matched without case; the Chinese ones as they are.
const char* const kDisconnectedEnglish[] = {"no connection", "invalid account", "common error"};
const char* const kDisconnectedChinese[] = {"无连接", "无效账户", "常见错误"};

// A slot's UTF-16 text up to its zero or its end; pairs of surrogates become one character.
std::string SlotText(const char16_t* units, std::size_t size) {
    std::wstring wide;
    for (std::size_t i = 0; i < size && units[i] != 0; ++i) {
        char32_t c = units[i];
        if (sizeof(wchar_t) == 4 && c >= 0xD800 && c <= 0xDBFF && i + 1 < size &&
            units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        wide += static_cast<wchar_t>(c);
    }
    return Narrow(wide);
}
} // namespace

void StatusBarReader::Release() {
    remote.Release();
    terminalSeen = 0;
    bar = 0;
}

// The frame's own status bar is one of its direct children; the search is kept for the
// next call while the bar lives.
WindowHandle StatusBarReader::FindBar(Desktop& desktop, WindowHandle terminal) {
    if (bar && terminal == terminalSeen && remote.IsOpenOn(desktop) && desktop.IsWindow(bar))
        return bar;
    bar = 0;
    terminalSeen = terminal;
    for (WindowHandle child = desktop.ChildAfter(terminal, 0); child;
         child = desktop.ChildAfter(terminal, child)) {
        if (EqualsNoCase(desktop.ClassName(child), kStatusBarClass))
            return bar = child;
    }
    return 0;
}

std::optional<std::string> StatusBarReader::Read(Desktop& desktop, WindowHandle terminal) {
    if (!terminal)
        return std::nullopt;
    const WindowHandle found = FindBar(desktop, terminal);
    if (!found || !remote.OpenFor(desktop, found))
        return std::nullopt;
    bar = found; // opening may have released the cached search
    terminalSeen = terminal;
    const int parts = std::min(desktop.StatusPartCount(found), kMaxParts);
    if (parts <= 0)
        return std::nullopt;
    std::array<bool, kMaxParts> asked{};
    int slotsUsed = 0;
    for (int part = 0; part < parts; ++part) {
        // A text that would not fit its slot is left unread: the bar writes all of it,
        // and past the block is the terminal's own memory.
        const int length = desktop.StatusTextLength(found, part);
        if (length <= 0 || length >= kSlotUnits)
            continue;
        const RemoteAddress slot = remote.Address() + static_cast<RemoteAddress>(part) * kSlotUnits * 2;
        if (!desktop.SendGetStatusText(found, part, slot))
            return std::nullopt; // hung or gone: no more waiting on it this time
        asked[part] = true;
        slotsUsed = part + 1;
    }
    if (slotsUsed == 0)
        return std::string();
    if (!desktop.ReadMemory(remote.Process(), remote.Address(), copy.data(),
                            static_cast<std::size_t>(slotsUsed) * kSlotUnits * 2)) {
        Release();
        return std::nullopt;
    }
    std::string joined;
    for (int part = 0; part < slotsUsed; ++part) {
        if (!asked[part])
            continue;
        const std::string text = TrimBlanks(SlotText(copy.data() + part * kSlotUnits, kSlotUnits));
        if (text.empty())
            continue;
        if (!joined.empty())
            joined += kPartSeparator;
        joined += text;
    }
    return joined;
}

bool StatusMeansDisconnected(const std::string& statusText) {
    const std::string lower = ToLowerAscii(statusText);
    for (const char* text : kDisconnectedEnglish)
        if (Contains(lower, text))
            return true;
    for (const char* text : kDisconnectedChinese)
        if (Contains(statusText, text))
            return true;
    return false;
}

std::string DisconnectedStatusPart(const std::string& statusText) {
    const std::string separator = kPartSeparator;
    std::size_t start = 0;
    while (start <= statusText.size()) {
        std::size_t end = statusText.find(separator, start);
        if (end == std::string::npos)
            end = statusText.size();
        const std::string part = statusText.substr(start, end - start);
        if (StatusMeansDisconnected(part))
            return TrimBlanks(part);
        start = end + separator.size();
    }
    return "";
}
