#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>

// The resource ids are fixed numbers; two names on one number would mix up controls.
TEST(AppResourceIds, NoNumberIsUsedTwice) {
    const auto resources =
        std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "resources";
    const std::regex define(R"(^#define\s+(ID[A-Z]?_\w+)\s+(\d+))");
    std::map<int, std::string> seen;
    int count = 0;
    // Both headers feed the one program's resources.
    for (const char* name : {"resource.h", "notify_resource.h"}) {
        std::ifstream in(resources / name);
        ASSERT_TRUE(in) << name;
        std::string line;
        while (std::getline(in, line)) {
            std::smatch match;
            if (!std::regex_search(line, match, define))
                continue;
            ++count;
            const int id = std::stoi(match[2]);
            // Dialog, menu and icon ids share one name space with the bitmaps; controls and
            // commands with each other.
            const auto [it, fresh] = seen.emplace(id, match[1]);
            EXPECT_TRUE(fresh) << match[1] << " and " << it->second << " share " << id;
        }
    }
    EXPECT_GE(count, 20);
    EXPECT_EQ(seen[129], "IDD_QUOTE");
    EXPECT_EQ(seen[1007], "IDC_QUOTE_LIST");
    EXPECT_EQ(seen[32780], "IDM_NEW_ORDER");
}
