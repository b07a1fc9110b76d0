#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

// A fresh folder under the system temp folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pwtest-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
        path += '/';
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path; // ends in "/"
};

std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& content);
