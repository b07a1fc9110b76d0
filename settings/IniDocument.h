#pragma once
#include <string>
#include <utility>
#include <vector>

// An INI file held in memory with the platform profile functions' rules:
// bracketed lines open sections, "key=value" lines inside a section are entries,
// names compare without ASCII case, blanks around names and values do not count,
// and every line the caller does not touch is written back byte for byte.
class IniDocument {
public:
    static constexpr std::size_t kMaxValueBytes = 65534;
    static constexpr std::size_t kMaxNameBytes = 259;
    static constexpr std::size_t kSectionNamesBytes = 65535;

    explicit IniDocument(const std::string& fileContent = "");

    std::string Get(const std::string& section, const std::string& key) const;
    bool HasSection(const std::string& section) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);
    bool DeleteKey(const std::string& section, const std::string& key);
    bool DeleteSection(const std::string& section);
    std::vector<std::string> SectionNames() const;
    // One section's entries as Get reads them: the first entry of a key counts, and its
    // value is cut as Get cuts it.
    struct Section {
        std::string name;                                         // as SectionNames lists it
        std::vector<std::pair<std::string, std::string>> entries; // key and value, file order
        std::string Get(const std::string& key) const;
    };
    // The sections SectionNames lists, each with its entries, found in one pass: reading
    // every key of many sections costs one look at each line. A name that stands twice reads
    // its first section's entries both times, as Get does.
    std::vector<Section> Sections() const;
    std::string Render() const;

private:
    enum class Kind { Other, Section, Entry };
    struct Line {
        std::string raw;  // bytes as they stand in the file
        std::string text; // the same line as UTF-8
        std::string ending;
        Kind kind = Kind::Other;
        std::string name;  // section name or key
        std::string value; // entry value
    };
    struct SectionRange {
        std::size_t header = 0;    // index of the header line
        std::size_t end = 0;       // one past the last line of the section
        std::size_t lastEntry = 0; // index after which a new key goes
    };

    static Line Classify(std::string raw, std::string ending);
    bool FindSection(const std::string& section, SectionRange& range) const;
    std::size_t FindEntry(const SectionRange& range, const std::string& key) const;
    void EndLine(Line& line) const; // a line that a new one follows
    void EndLastLine();

    std::vector<Line> lines;
    std::string newline = "\r\n";
};
