#include <windows.h>
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include <algorithm>
#include <atomic>
#include <string>

namespace {
// Up to half a second for a reader of the file to let go.
constexpr int kReplaceAttempts = 25;
constexpr DWORD kReplacePauseMs = 20;

bool WriteFully(HANDLE file, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD written = 0;
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 20));
        if (!WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

bool ProcessIsGone(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    DWORD exitCode = 0;
    const bool ended = GetExitCodeProcess(process, &exitCode) && exitCode != STILL_ACTIVE;
    CloseHandle(process);
    return ended;
}

// Temporary files of writers of this target that were killed before their rename.
void RemoveLeftovers(const std::wstring& target) {
    const std::size_t separator = target.find_last_of(L"\\/");
    const std::wstring folder =
        separator == std::wstring::npos ? std::wstring() : target.substr(0, separator + 1);
    const std::string name = Narrow(target.substr(folder.size()));
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((target + L".~*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::optional<std::uint32_t> owner =
            ReplacementTempOwner(Narrow(found.cFileName), name);
        if (owner && *owner != GetCurrentProcessId() && ProcessIsGone(*owner))
            DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

class WinFileSystem final : public FileSystem {
public:
    PathKind Kind(const std::string& path) override {
        const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return PathKind::Missing;
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
    }

    bool ReadAll(const std::string& path, std::string& content) override {
        content.clear();
        HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        char buffer[65536];
        DWORD n = 0;
        bool ok = true;
        while ((ok = ReadFile(file, buffer, sizeof buffer, &n, nullptr)) && n > 0)
            content.append(buffer, n);
        CloseHandle(file);
        return ok;
    }

    // Another program reading the file (a backup, a virus scanner, an editor) makes the
    // replace fail for a moment; the change must not be lost for that.
    static bool ReplaceWithRetries(const std::wstring& temp, const std::wstring& target) {
        for (int attempt = 1;; ++attempt) {
            if (MoveFileExW(temp.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                return true;
            const DWORD error = GetLastError();
            if (attempt >= kReplaceAttempts ||
                (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
                return false;
            Sleep(kReplacePauseMs);
        }
    }

    bool ReplaceAtomically(const std::string& path, const std::string& content) override {
        if (Kind(path) == PathKind::Folder || IsReadOnly(path))
            return false;
        static std::atomic<unsigned> counter{0};
        const std::wstring target = Widen(path);
        RemoveLeftovers(target);
        const std::wstring temp =
            Widen(ReplacementTempPath(path, GetCurrentProcessId(), counter++));
        HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const bool written = WriteFully(file, content) && FlushFileBuffers(file);
        CloseHandle(file);
        if (!written || !ReplaceWithRetries(temp, target)) {
            DeleteFileW(temp.c_str());
            return false;
        }
        return true;
    }

    bool Append(const std::string& path, const std::string& content) override {
        HANDLE file = CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const bool ok = WriteFully(file, content);
        CloseHandle(file);
        return ok;
    }

    bool MoveReplacing(const std::string& from, const std::string& to) override {
        return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }

    bool IsReadOnly(const std::string& path) override {
        const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
               !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool ClearReadOnly(const std::string& path) override {
        const std::wstring wide = Widen(path);
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        return SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
    }

    bool Delete(const std::string& path) override { return DeleteFileW(Widen(path).c_str()) != 0; }

    std::int64_t Size(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return -1;
        return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    bool CanCreateFileIn(const std::string& folder) override {
        static std::atomic<unsigned> serial{0};
        std::wstring probe = Widen(folder);
        if (!probe.empty() && probe.back() != L'\\')
            probe += L'\\';
        probe += L"~pwprobe." + std::to_wstring(GetCurrentProcessId()) + L"." +
                 std::to_wstring(serial++) + L".tmp";
        HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
    }

    // A reader that shares no writing holds the file for a moment, as with the replace.
    bool CanOpenForWriting(const std::string& path) override {
        const std::wstring wide = Widen(path);
        for (int attempt = 1;; ++attempt) {
            HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                CloseHandle(file);
                return true;
            }
            if (attempt >= kReplaceAttempts || GetLastError() != ERROR_SHARING_VIOLATION)
                return false;
            Sleep(kReplacePauseMs);
        }
    }

    std::vector<std::string> ListFolders(const std::string& path) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((Widen(path) + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            const std::wstring name = found.cFileName;
            const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isFolder && name != L"." && name != L"..")
                names.push_back(Narrow(name));
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }
};
} // namespace

FileSystem& PlatformFiles() {
    static WinFileSystem files;
    return files;
}
