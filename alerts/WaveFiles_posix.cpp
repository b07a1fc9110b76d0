#include "alerts/WaveFiles.h"
#include "platform/Text.h"
#include <algorithm>
#include <filesystem>
#include <vector>

std::string FirstWaveFile(const std::string& folder) {
    std::error_code error;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && name.size() > 4 &&
            EqualsNoCase(name.substr(name.size() - 4), ".wav"))
            names.push_back(name);
    }
    if (names.empty())
        return {};
    // A listing order that does not change from run to run.
    return folder + *std::min_element(names.begin(), names.end());
}
