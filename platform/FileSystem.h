#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class PathKind { Missing, File, Folder };

// File access for the portable code; paths are UTF-8.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual PathKind Kind(const std::string& path) = 0;
    virtual bool ReadAll(const std::string& path, std::string& content) = 0;
    // Writes a temporary file beside the target, flushes it and moves it over the
    // target, so the target is always either the old or the new content.
    virtual bool ReplaceAtomically(const std::string& path, const std::string& content) = 0;
    virtual bool Append(const std::string& path, const std::string& content) = 0;
    // Renames a file, replacing what the new name held. The stand-in for seams without a
    // rename copies and deletes.
    virtual bool MoveReplacing(const std::string& from, const std::string& to) {
        std::string content;
        return ReadAll(from, content) && ReplaceAtomically(to, content) && Delete(from);
    }
    virtual bool IsReadOnly(const std::string& path) = 0;
    virtual bool ClearReadOnly(const std::string& path) = 0;
    virtual bool Delete(const std::string& path) = 0;
    virtual std::int64_t Size(const std::string& path) = 0; // -1 when missing
    // Whether a new file can be made in the folder: a probe that the system removes
    // with its handle, so not even a kill leaves it behind.
    virtual bool CanCreateFileIn(const std::string& folder) {
        static_cast<void>(folder);
        return true;
    }
    // Whether an existing file opens for writing; it is not truncated or changed.
    virtual bool CanOpenForWriting(const std::string& path) {
        static_cast<void>(path);
        return true;
    }
    // Names of the immediate sub-folders of a folder, in the system's listing order.
    virtual std::vector<std::string> ListFolders(const std::string& path) {
        static_cast<void>(path);
        return {};
    }
};

FileSystem& Files();
void SetFiles(FileSystem* files); // nullptr restores the platform file system
FileSystem& PlatformFiles();

// The temporary file a replace writes beside its target: "<target>.~<process id>.<serial>.tmp".
// A writer killed before its rename leaves it behind; the next replace of the same target
// deletes those of processes that are gone, so leftovers never pile up.
std::string ReplacementTempPath(const std::string& target, std::uint32_t processId,
                                unsigned serial);
// The process that wrote a leftover of the target (both plain file names, no folder), or
// nothing when the name is not such a temporary file.
std::optional<std::uint32_t> ReplacementTempOwner(const std::string& fileName,
                                                  const std::string& targetName);

inline bool FileExists(const std::string& path) {
    return Files().Kind(path) == PathKind::File;
}
