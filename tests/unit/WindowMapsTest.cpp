#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>

// Every window's message map, found in the sources: two entries on one key would leave the
// second handler dead without a word, and a window without a map would hear nothing.
namespace {
namespace fs = std::filesystem;

const fs::path kSources = fs::path(__FILE__).parent_path() / ".." / "..";

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The key of one entry: its kind and its message or control id and code, as written.
std::vector<std::string> EntryKeys(const std::string& table) {
    static const std::regex entry(
        R"((onMessage|onCommand|onNotify)\(\s*([^,&]+?),\s*(?:([^,&]+?),\s*)?&)");
    std::vector<std::string> keys;
    for (std::sregex_iterator it(table.begin(), table.end(), entry), end; it != end; ++it)
        keys.push_back((*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str());
    return keys;
}
} // namespace

TEST(WindowMaps, EveryWindowHasAMapWithoutDuplicateKeys) {
    static const std::regex mapStart(R"(const MessageMap<(\w+)> \1::messages = \{)");
    static const std::regex window(R"(class (\w+) final : public DialogOf<\1>)");
    std::map<std::string, std::vector<std::string>> maps;
    std::set<std::string> windows;
    for (const char* folder : {"app", "alerts", "options", "news", "controls", "platform"}) {
        if (!fs::exists(kSources / folder))
            continue;
        for (const auto& file : fs::directory_iterator(kSources / folder)) {
            const std::string text = ReadAll(file.path());
            for (std::sregex_iterator it(text.begin(), text.end(), window), end; it != end; ++it)
                windows.insert((*it)[1]);
            std::smatch found;
            if (!std::regex_search(text, found, mapStart))
                continue;
            const auto begin = found.position(0) + found.length(0);
            maps[found[1]] = EntryKeys(text.substr(begin, text.find("\n};", begin) - begin));
        }
    }
    for (const auto& name : windows)
        EXPECT_TRUE(maps.count(name)) << name << " has no message map";
    for (const auto& [name, keys] : maps) {
        std::set<std::string> seen;
        for (const auto& key : keys)
            EXPECT_TRUE(seen.insert(key).second) << name << ": " << key << " twice";
    }
    ASSERT_TRUE(maps.count("CDlgQuote"));
    EXPECT_GT(maps["CDlgQuote"].size(), 20u);
    EXPECT_TRUE(maps.count("CDlgNotify"));
}
