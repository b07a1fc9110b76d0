#include "app/SettingsFolder.h"
#include "platform/Text.h"
#include <utility>

bool CanKeepSettingsIn(FileSystem& files, const std::string& folder,
                       const std::vector<std::string>& settingsFiles) {
    if (!files.CanCreateFileIn(folder))
        return false;
    for (const std::string& path : settingsFiles)
        if (files.Kind(path) == PathKind::File && !files.CanOpenForWriting(path))
            return false;
    return true;
}

std::string FolderForDisplay(const std::string& folder) {
    constexpr std::size_t kDriveRootLength = 3; // "C:\"
    std::string shown = folder;
    while (shown.size() > kDriveRootLength && (shown.back() == '\\' || shown.back() == '/'))
        shown.pop_back();
    return shown;
}

ReadOnlyFolderFiles::ReadOnlyFolderFiles(FileSystem& inner, std::string folder)
    : inner(inner), folder(std::move(folder)) {
    if (!this->folder.empty() && this->folder.back() != '\\' && this->folder.back() != '/')
        this->folder += '\\';
}

// Windows paths compare without case; a path is the folder itself without its separator.
bool ReadOnlyFolderFiles::Inside(const std::string& path) const {
    if (folder.empty())
        return false;
    if (EqualsNoCase(path, folder.substr(0, folder.size() - 1)))
        return true;
    return path.size() >= folder.size() && EqualsNoCase(path.substr(0, folder.size()), folder);
}
