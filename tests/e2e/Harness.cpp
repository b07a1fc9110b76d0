#include "tests/e2e/Harness.h"
#include "platform/Text.h"
#include "settings/SysPaths.h"
#include <atomic>
#include <stdexcept>
#include <thread>

namespace e2e {
namespace {
constexpr Milliseconds kRemoveTimeout = 5s;
constexpr Milliseconds kHeldFileTimeout = 3s;

std::string TrimRightSlash(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

std::string LongPath(const std::wstring& path) {
    const DWORD length = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (length == 0)
        return Narrow(path);
    std::wstring buffer(length, L'\0');
    buffer.resize(GetLongPathNameW(path.c_str(), buffer.data(), length));
    return Narrow(buffer);
}

std::string NewTemporaryFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH + 1, temp) == 0)
        throw std::runtime_error("no temporary folder");
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring folder = std::wstring(temp) + L"pw e2e " +
                                    std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(counter++);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return TrimRightSlash(LongPath(folder));
    }
    throw std::runtime_error("cannot create a temporary folder in " + Narrow(temp));
}

bool RemoveTreeOnce(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTreeOnce(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    return RemoveDirectoryW(folder.c_str()) != 0;
}

void MakeFolders(const std::string& path) {
    const std::wstring wide = Widen(path);
    for (std::size_t slash = wide.find(L'\\', 3); slash != std::wstring::npos;
         slash = wide.find(L'\\', slash + 1))
        CreateDirectoryW(wide.substr(0, slash).c_str(), nullptr);
    CreateDirectoryW(wide.c_str(), nullptr);
}

std::string ParentOf(const std::string& path) {
    return path.substr(0, path.rfind('\\'));
}

std::string TrimBlanksAround(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}
// Copies the files of a folder (one level: the voice clip folders have no sub-folders).
void CopyFolderFiles(const std::string& from, const std::string& to) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(Widen(from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    MakeFolders(to);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string name = Narrow(found.cFileName);
        CopyFileW(Widen(from + "\\" + name).c_str(), Widen(to + "\\" + name).c_str(), FALSE);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
} // namespace

bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::uint64_t SystemTimeNow() {
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string BuiltProgramsFolder() {
    const DWORD length = GetEnvironmentVariableW(L"PIPWARDEN_BIN", nullptr, 0);
    if (length > 1) {
        std::wstring value(length, L'\0');
        value.resize(GetEnvironmentVariableW(L"PIPWARDEN_BIN", value.data(), length));
        return TrimRightSlash(Narrow(value));
    }
    return TrimRightSlash(GetProgramFolder());
}

std::string ReadTextFile(const std::string& path) {
    std::string content;
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return content;
    char buffer[16384];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    return content;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> IniValue(const std::string& content, const std::string& section,
                                    const std::string& key) {
    bool inSection = false;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        const std::string line = TrimBlanksAround(content.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            const std::size_t close = line.find(']');
            inSection = close != std::string::npos &&
                        EqualsNoCase(TrimBlanksAround(line.substr(1, close - 1)), section);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inSection && equals != std::string::npos &&
            EqualsNoCase(TrimBlanksAround(line.substr(0, equals)), key))
            return TrimBlanksAround(line.substr(equals + 1));
    }
    return std::nullopt;
}

Placement LauncherProgram() {
    return {"Pip Warden.exe", "Pip Warden.exe"};
}
Placement MainProgram() {
    return {"Pipwarden.exe", "file\\Pipwarden.exe"};
}
Placement RecorderAs(const std::string& target) {
    return {"recorder.exe", target};
}

Installation::Installation(const std::vector<Placement>& programs)
    : scratch(NewTemporaryFolder()), root(scratch + "\\Pip Warden") {
    try {
        MakeFolder("file");
        for (const Placement& program : programs)
            Place(program);
    } catch (...) {
        RemoveTreeOnce(Widen(scratch));
        throw;
    }
}

void Installation::Place(const Placement& program) const {
    const std::string source = BuiltProgramsFolder() + "\\" + program.built;
    const std::string target = Path(program.target);
    MakeFolders(ParentOf(target));
    if (!CopyFileW(Widen(source).c_str(), Widen(target).c_str(), FALSE))
        throw std::runtime_error("cannot copy " + source + " to " + target + " (error " +
                                 std::to_string(GetLastError()) + ")");
    // The main program speaks prices from the voice clips of its data folder.
    if (program.built == MainProgram().built)
        for (const char* language : {"enf", "cnf"})
            CopyFolderFiles(BuiltProgramsFolder() + "\\data\\" + language,
                            ParentOf(target) + "\\data\\" + language);
}

Installation::~Installation() {
    EndProcessesUnder(scratch);
    const std::wstring folder = Widen(scratch);
    WaitUntil([&] { return RemoveTreeOnce(folder); }, kRemoveTimeout);
}

std::string Installation::Path(const std::string& relative) const {
    return root + "\\" + relative;
}

void Installation::MakeFolder(const std::string& relative) const {
    MakeFolders(Path(relative));
}

void Installation::WriteFile(const std::string& relative, const std::string& content) const {
    const std::string path = Path(relative);
    MakeFolders(ParentOf(path));
    // The running program may hold its own file for a moment (a write of its own, a read):
    // as a person saving over it would, try again shortly.
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    WaitUntil(
        [&] {
            file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            error = GetLastError();
            return file != INVALID_HANDLE_VALUE ||
                   (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED);
        },
        kHeldFileTimeout);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok)
        throw std::runtime_error("cannot write " + path + " (error " + std::to_string(error) + ")");
}

std::string Installation::ReadFile(const std::string& relative) const {
    return ReadTextFile(Path(relative));
}

} // namespace e2e
