#include "platform/FileSystem.h"

namespace {
FileSystem* installedFiles = nullptr;
}

FileSystem& Files() {
    return installedFiles ? *installedFiles : PlatformFiles();
}
void SetFiles(FileSystem* files) {
    installedFiles = files;
}

namespace {
constexpr char kTempMark[] = ".~";
constexpr char kTempExtension[] = ".tmp";

// A non-empty run of decimal digits that fits the type.
template <class Number> std::optional<Number> ParseDigits(const std::string& text) {
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > static_cast<Number>(-1))
        return std::nullopt;
    return static_cast<Number>(value);
}

// Windows compares file names without case.
bool SameIgnoringCase(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}
} // namespace

std::string ReplacementTempPath(const std::string& target, std::uint32_t processId,
                                unsigned serial) {
    return target + kTempMark + std::to_string(processId) + "." + std::to_string(serial) +
           kTempExtension;
}

std::optional<std::uint32_t> ReplacementTempOwner(const std::string& fileName,
                                                  const std::string& targetName) {
    const std::string prefix = targetName + kTempMark;
    const std::size_t extension = sizeof kTempExtension - 1;
    if (targetName.empty() || fileName.size() <= prefix.size() + extension ||
        !SameIgnoringCase(fileName.substr(0, prefix.size()), prefix) ||
        fileName.compare(fileName.size() - extension, extension, kTempExtension) != 0)
        return std::nullopt;
    const std::string middle =
        fileName.substr(prefix.size(), fileName.size() - prefix.size() - extension);
    const std::size_t dot = middle.find('.');
    if (dot == std::string::npos || !ParseDigits<unsigned>(middle.substr(dot + 1)))
        return std::nullopt;
    return ParseDigits<std::uint32_t>(middle.substr(0, dot));
}
