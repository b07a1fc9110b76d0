// The settings file engine: a fuzzed file is read, one key is written, and the file read
// again must give what was written and every other key as before.
#include "FakeFiles.h"
#include "FuzzInput.h"
#include "platform/Text.h"
#include "settings/IniDocument.h"
#include "settings/IniFile.h"

namespace {
const std::string kBom = "\xEF\xBB\xBF";

bool SameSections(const IniDocument& a, const IniDocument& b) {
    const auto left = a.Sections();
    const auto right = b.Sections();
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i)
        if (left[i].name != right[i].name || left[i].entries != right[i].entries)
            return false;
    return true;
}

// A written text as its line holds it.
std::string Written(const std::string& value) {
    std::string text = IsValidUtf8(value) ? value : AnsiToUtf8(value);
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return TrimBlanks(text);
}

std::string Stored(const std::string& value) {
    return CutUtf8(Written(value), IniDocument::kMaxValueBytes);
}

// A key that starts like a section or holds "=" cannot be told from one on reading, in the
// system's files as in ours.
bool ReadableKey(const std::string& key) {
    const std::string text = Written(key);
    return text.find('=') == std::string::npos && (text.empty() || text.front() != '[');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = InputParts(data, size, 4);
    const std::string& content = parts[0];
    const std::string &section = parts[1], &key = parts[2], &value = parts[3];

    // Untouched lines are written back byte for byte; only the leading marks go.
    IniDocument doc(content);
    std::size_t start = 0;
    while (content.compare(start, kBom.size(), kBom) == 0)
        start += kBom.size();
    FUZZ_CHECK(doc.Render() == content.substr(start));
    std::size_t looked = 0;
    for (const auto& read : doc.Sections())
        for (const auto& [name, text] : read.entries)
            if (read.name.size() < IniDocument::kMaxNameBytes && ++looked <= 16)
                FUZZ_CHECK(read.Get(name) == doc.Get(read.name, name));

    // The write through the file, then the file read again.
    FakeFiles files;
    SetFiles(&files);
    const std::string path = "C:\\fuzz\\fxconset.ini";
    files.files[path] = content;
    CIniFile ini;
    FUZZ_CHECK(ini.SetPath(path));
    FUZZ_CHECK(ini.WriteString(section, key, value));
    const std::string written = files.files[path];
    const IniDocument again(written);
    doc.Set(section, key, value);
    FUZZ_CHECK(written == doc.Render());
    FUZZ_CHECK(SameSections(again, doc));
    if (ReadableKey(key)) {
        FUZZ_CHECK(ini.GetString(section, key) == Stored(value));
        // A second write changes that one line and adds nothing.
        FUZZ_CHECK(ini.WriteString(section, key, "x"));
        const std::string rewritten = files.files[path];
        FUZZ_CHECK(std::count(rewritten.begin(), rewritten.end(), '\n') ==
                   std::count(written.begin(), written.end(), '\n'));
        FUZZ_CHECK(ini.GetString(section, key) == "x");
    }
    SetFiles(nullptr);
    return 0;
}
