#pragma once
#include "platform/FileSystem.h"
#include <string>
#include <vector>

// Whether settings and alerts can be kept in the program folder: a new file can be made in
// it and each of the settings files already there opens for writing.
bool CanKeepSettingsIn(FileSystem& files, const std::string& folder,
                       const std::vector<std::string>& settingsFiles);

// The folder as a user reads it: without its closing backslash, except for a drive's root.
std::string FolderForDisplay(const std::string& folder);

// The file system with one folder read-only: a write, append or delete inside it fails at
// once, so that a program going on without its folder does not wait on every change; all
// else passes through.
class ReadOnlyFolderFiles final : public FileSystem {
public:
    ReadOnlyFolderFiles(FileSystem& inner, std::string folder);

    PathKind Kind(const std::string& path) override { return inner.Kind(path); }
    bool ReadAll(const std::string& path, std::string& content) override {
        return inner.ReadAll(path, content);
    }
    bool ReplaceAtomically(const std::string& path, const std::string& content) override {
        return !Inside(path) && inner.ReplaceAtomically(path, content);
    }
    bool Append(const std::string& path, const std::string& content) override {
        return !Inside(path) && inner.Append(path, content);
    }
    bool IsReadOnly(const std::string& path) override { return inner.IsReadOnly(path); }
    bool ClearReadOnly(const std::string& path) override {
        return !Inside(path) && inner.ClearReadOnly(path);
    }
    bool Delete(const std::string& path) override { return !Inside(path) && inner.Delete(path); }
    std::int64_t Size(const std::string& path) override { return inner.Size(path); }
    bool CanCreateFileIn(const std::string& path) override {
        return !Inside(path) && inner.CanCreateFileIn(path);
    }
    bool CanOpenForWriting(const std::string& path) override {
        return !Inside(path) && inner.CanOpenForWriting(path);
    }
    std::vector<std::string> ListFolders(const std::string& path) override {
        return inner.ListFolders(path);
    }

private:
    bool Inside(const std::string& path) const;

    FileSystem& inner;
    std::string folder; // ends in a separator
};
