#include "platform/FileSystem.h"
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool WriteFully(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Temporary files of writers of this target that were killed before their rename.
void RemoveLeftovers(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = target.substr(folder.size());
    DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!listing)
        return;
    const auto self = static_cast<std::uint32_t>(::getpid());
    while (const dirent* entry = ::readdir(listing)) {
        const std::optional<std::uint32_t> owner = ReplacementTempOwner(entry->d_name, name);
        if (!owner || *owner == self)
            continue;
        if (::kill(static_cast<pid_t>(*owner), 0) != 0 && errno == ESRCH)
            ::unlink((folder + entry->d_name).c_str());
    }
    ::closedir(listing);
}

class PosixFileSystem final : public FileSystem {
public:
    PathKind Kind(const std::string& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return PathKind::Missing;
        return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::File;
    }

    bool ReadAll(const std::string& path, std::string& content) override {
        content.clear();
        if (Kind(path) != PathKind::File)
            return false;
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f)
            return false;
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            content.append(buffer, n);
        std::fclose(f);
        return true;
    }

    bool ReplaceAtomically(const std::string& path, const std::string& content) override {
        if (Kind(path) == PathKind::Folder || IsReadOnly(path))
            return false;
        RemoveLeftovers(path);
        static std::atomic<unsigned> counter{0};
        const std::string temp =
            ReplacementTempPath(path, static_cast<std::uint32_t>(::getpid()), counter++);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const bool written = WriteFully(fd, content) && ::fsync(fd) == 0;
        ::close(fd);
        if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
            ::unlink(temp.c_str());
            return false;
        }
        return true;
    }

    bool Append(const std::string& path, const std::string& content) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0)
            return false;
        const bool ok = WriteFully(fd, content);
        ::close(fd);
        return ok;
    }

    bool MoveReplacing(const std::string& from, const std::string& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0;
    }

    // Read-only is the owner's write bit being off (root ignores it when writing).
    bool IsReadOnly(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR);
    }

    bool ClearReadOnly(const std::string& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return false;
        return ::chmod(path.c_str(), st.st_mode | S_IWUSR) == 0;
    }

    bool Delete(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

    std::int64_t Size(const std::string& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            return -1;
        return static_cast<std::int64_t>(st.st_size);
    }

    bool CanCreateFileIn(const std::string& folder) override {
        std::string probe = folder + "/.pwprobe.XXXXXX";
        const int fd = ::mkstemp(probe.data());
        if (fd < 0)
            return false;
        ::unlink(probe.c_str());
        ::close(fd);
        return true;
    }

    bool CanOpenForWriting(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_WRONLY);
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    }

    std::vector<std::string> ListFolders(const std::string& path) override {
        std::vector<std::string> names;
        DIR* folder = ::opendir(path.c_str());
        if (!folder)
            return names;
        while (const dirent* entry = ::readdir(folder)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && Kind(path + "/" + name) == PathKind::Folder)
                names.push_back(name);
        }
        ::closedir(folder);
        return names;
    }
};
} // namespace

FileSystem& PlatformFiles() {
    static PosixFileSystem files;
    return files;
}
