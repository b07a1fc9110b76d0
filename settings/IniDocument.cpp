#include "settings/IniDocument.h"
#include "platform/Text.h"
#include <unordered_map>

namespace {
const std::string kBom = "\xEF\xBB\xBF";

// Text handed in for a line is read as a line of the file is: bytes that are not UTF-8 as
// the ANSI code page, so that the line written is found again by the same name; a line
// break would split the entry and plant new ones.
std::string LineText(const std::string& text) {
    std::string out = IsValidUtf8(text) ? text : AnsiToUtf8(text);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

// A section name or key as it is compared: a stray carriage return inside a line of the
// file reads as the blank a written name has in its place.
std::string NameText(const std::string& text) {
    return TrimBlanks(LineText(text));
}
} // namespace

IniDocument::IniDocument(const std::string& fileContent) {
    // Every mark goes: one left in front of the first line would hide that line's section,
    // and a write (which drops the first mark) would show it again under a new one.
    std::size_t start = 0;
    while (fileContent.compare(start, kBom.size(), kBom) == 0)
        start += kBom.size();
    bool endingSeen = false;
    while (start < fileContent.size()) {
        const std::size_t lf = fileContent.find('\n', start);
        std::string raw, ending;
        if (lf == std::string::npos) {
            raw = fileContent.substr(start);
            start = fileContent.size();
            // A last line cut after its carriage return: the value must not hold the return
            // now and lose it once a line is added behind it.
            if (!raw.empty() && raw.back() == '\r') {
                raw.pop_back();
                ending = "\r";
            }
        } else {
            raw = fileContent.substr(start, lf - start);
            ending = "\n";
            if (!raw.empty() && raw.back() == '\r') {
                raw.pop_back();
                ending = "\r\n";
            }
            start = lf + 1;
            if (!endingSeen) {
                newline = ending; // new lines follow the file's own line ends
                endingSeen = true;
            }
        }
        lines.push_back(Classify(std::move(raw), std::move(ending)));
    }
}

IniDocument::Line IniDocument::Classify(std::string raw, std::string ending) {
    Line line;
    line.text = IsValidUtf8(raw) ? raw : AnsiToUtf8(raw);
    line.raw = std::move(raw);
    line.ending = std::move(ending);
    const std::string trimmed = TrimBlanks(line.text);
    if (!trimmed.empty() && trimmed.front() == '[') {
        const std::size_t close = trimmed.rfind(']');
        if (close != std::string::npos) {
            line.kind = Kind::Section;
            line.name = NameText(trimmed.substr(1, close - 1));
        }
        return line;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals != std::string::npos) {
        line.kind = Kind::Entry;
        line.name = NameText(trimmed.substr(0, equals));
        line.value = TrimBlanks(trimmed.substr(equals + 1));
    }
    return line;
}

bool IniDocument::FindSection(const std::string& section, SectionRange& range) const {
    const std::string wanted = NameText(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Kind::Section || !EqualsNoCase(lines[i].name, wanted))
            continue;
        range.header = i;
        range.lastEntry = i;
        std::size_t j = i + 1;
        for (; j < lines.size() && lines[j].kind != Kind::Section; ++j)
            if (!TrimBlanks(lines[j].text).empty())
                range.lastEntry = j;
        range.end = j;
        return true;
    }
    return false;
}

std::size_t IniDocument::FindEntry(const SectionRange& range, const std::string& key) const {
    const std::string wanted = NameText(key);
    for (std::size_t i = range.header + 1; i < range.end; ++i)
        if (lines[i].kind == Kind::Entry && EqualsNoCase(lines[i].name, wanted))
            return i;
    return std::string::npos;
}

std::string IniDocument::Get(const std::string& section, const std::string& key) const {
    SectionRange range;
    if (!FindSection(section, range))
        return "";
    const std::size_t entry = FindEntry(range, key);
    return entry == std::string::npos ? "" : CutUtf8(lines[entry].value, kMaxValueBytes);
}

bool IniDocument::HasSection(const std::string& section) const {
    SectionRange range;
    return FindSection(section, range);
}

void IniDocument::EndLine(Line& line) const {
    if (line.ending.empty())
        line.ending = newline;
    else if (line.ending == "\r")
        line.ending = "\r\n";
}

void IniDocument::EndLastLine() {
    if (!lines.empty())
        EndLine(lines.back());
}

void IniDocument::Set(const std::string& section, const std::string& key,
                      const std::string& value) {
    const std::string name = NameText(key);
    const std::string entryText = name + "=" + TrimBlanks(LineText(value));
    SectionRange range;
    if (!FindSection(section, range)) {
        EndLastLine();
        lines.push_back(Classify("[" + NameText(section) + "]", newline));
        lines.push_back(Classify(entryText, newline));
        return;
    }
    const std::size_t entry = FindEntry(range, name);
    if (entry != std::string::npos) {
        const std::string ending = lines[entry].ending;
        lines[entry] = Classify(entryText, ending);
        return;
    }
    const std::size_t after = range.lastEntry;
    EndLine(lines[after]);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after + 1),
                 Classify(entryText, newline));
}

bool IniDocument::DeleteKey(const std::string& section, const std::string& key) {
    SectionRange range;
    if (!FindSection(section, range))
        return false;
    const std::size_t entry = FindEntry(range, key);
    if (entry == std::string::npos)
        return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(entry));
    return true;
}

bool IniDocument::DeleteSection(const std::string& section) {
    SectionRange range;
    if (!FindSection(section, range))
        return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range.header),
                lines.begin() + static_cast<std::ptrdiff_t>(range.end));
    return true;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    std::size_t used = 1; // the list's closing zero
    for (const Line& line : lines) {
        if (line.kind != Kind::Section)
            continue;
        const std::string name = CutUtf8(line.name, kMaxNameBytes);
        if (used + name.size() + 1 > kSectionNamesBytes)
            break;
        used += name.size() + 1;
        names.push_back(name);
    }
    return names;
}

std::string IniDocument::Section::Get(const std::string& key) const {
    const std::string wanted = NameText(key);
    for (const auto& [name, value] : entries)
        if (EqualsNoCase(name, wanted))
            return CutUtf8(value, kMaxValueBytes);
    return "";
}

std::vector<IniDocument::Section> IniDocument::Sections() const {
    // Entries of every section in one pass; the first section of a name is the one Get finds.
    std::vector<Section> found;
    std::unordered_map<std::string, std::size_t> firstOfName;
    for (const Line& line : lines) {
        if (line.kind == Kind::Section) {
            firstOfName.emplace(ToLowerAscii(line.name), found.size());
            found.push_back({line.name, {}});
        } else if (line.kind == Kind::Entry && !found.empty()) {
            found.back().entries.emplace_back(line.name, line.value);
        }
    }
    std::vector<Section> sections;
    for (const std::string& name : SectionNames()) {
        const auto first = firstOfName.find(ToLowerAscii(TrimBlanks(name)));
        sections.push_back({name, {}});
        if (first != firstOfName.end())
            sections.back().entries = found[first->second].entries;
    }
    return sections;
}

std::string IniDocument::Render() const {
    std::string out;
    for (const Line& line : lines) {
        out += line.raw;
        out += line.ending;
    }
    return out;
}
