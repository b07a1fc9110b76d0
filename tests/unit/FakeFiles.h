#pragma once
#include "platform/FileSystem.h"
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// Files and folders in memory; `folders` maps a folder to its sub-folders' names.
class FakeFiles final : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::vector<std::string>> folders;
    int deletions = 0;
    int reads = 0;
    int replaces = 0;
    bool deleteFails = false;
    std::set<std::string> unwritable; // folders and files that refuse writing

    PathKind Kind(const std::string& path) override {
        return files.count(path)     ? PathKind::File
               : folders.count(path) ? PathKind::Folder
                                     : PathKind::Missing;
    }
    bool ReadAll(const std::string& path, std::string& content) override {
        ++reads;
        content = files.count(path) ? files[path] : "";
        return files.count(path) > 0;
    }
    bool ReplaceAtomically(const std::string& path, const std::string& content) override {
        if (unwritable.count(path))
            return false;
        ++replaces;
        files[path] = content;
        return true;
    }
    bool Append(const std::string& path, const std::string& content) override {
        if (unwritable.count(path))
            return false;
        files[path] += content;
        return true;
    }
    bool MoveReplacing(const std::string& from, const std::string& to) override {
        if (!files.count(from) || unwritable.count(from) || unwritable.count(to))
            return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool IsReadOnly(const std::string&) override { return false; }
    bool ClearReadOnly(const std::string&) override { return true; }
    bool Delete(const std::string& path) override {
        ++deletions;
        return !deleteFails && files.erase(path) > 0;
    }
    std::int64_t Size(const std::string& path) override {
        return files.count(path) ? std::int64_t(files[path].size()) : -1;
    }
    bool CanCreateFileIn(const std::string& folder) override { return !unwritable.count(folder); }
    bool CanOpenForWriting(const std::string& path) override {
        return files.count(path) && !unwritable.count(path);
    }
    std::vector<std::string> ListFolders(const std::string& path) override {
        return folders.count(path) ? folders[path] : std::vector<std::string>{};
    }
};
