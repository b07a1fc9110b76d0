#include "common/StartupRules.h"
#include "platform/Text.h"
#include "tests/e2e/Harness.h"
#include <gtest/gtest.h>
#include <mutex>
#include <tlhelp32.h>

namespace e2e {
namespace {
constexpr Milliseconds kEndTimeout = 5s;
constexpr DWORD kEndedByTest = 0xE2E;

// Every started process joins this job; closing it ends them and whatever they started
// (Wine honours JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE, grandchildren included).
HANDLE TestJob() {
    static HANDLE job = [] {
        HANDLE created = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (created)
            SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits,
                                    sizeof limits);
        return created;
    }();
    return job;
}

// Handles of every process a test started, for the final sweep; processes started from
// the Unix side are not in the job.
class StartedProcesses {
public:
    void Add(HANDLE process) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &copy, 0, FALSE,
                            DUPLICATE_SAME_ACCESS)) {
            std::lock_guard lock(mutex);
            handles.push_back(copy);
        }
    }
    void EndAll() {
        std::lock_guard lock(mutex);
        for (HANDLE process : handles) {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process, kEndedByTest);
                WaitForSingleObject(process, static_cast<DWORD>(kEndTimeout.count()));
            }
            CloseHandle(process);
        }
        handles.clear();
    }

private:
    std::mutex mutex;
    std::vector<HANDLE> handles;
};

StartedProcesses& Started() {
    static StartedProcesses started;
    return started;
}

class EndStartedProcesses final : public ::testing::Environment {
public:
    void TearDown() override {
        Started().EndAll();
        if (TestJob())
            CloseHandle(TestJob());
    }
};
[[maybe_unused]] ::testing::Environment* const endStartedProcesses =
    ::testing::AddGlobalTestEnvironment(new EndStartedProcesses);

// A program the previous test ended may still be dying with its window up; the next start's
// single-instance check would take it for a running program and hand over to it.
class AwaitEndedPrograms final : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        const std::wstring title = Widen(kProductWindowTitle);
        const std::wstring restarting = title + Widen(kRestartTitleSuffix);
        const bool gone = WaitUntil(
            [&] {
                return !FindWindowW(nullptr, title.c_str()) &&
                       !FindWindowW(nullptr, restarting.c_str());
            },
            kEndTimeout);
        if (!gone)
            ADD_FAILURE() << "a program of an earlier test is still running";
    }
};
[[maybe_unused]] const bool awaitEndedPrograms = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new AwaitEndedPrograms);
    return true;
}();

std::string ImagePathOf(HANDLE process) {
    std::wstring buffer(32768, L'\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    if (!QueryFullProcessImageNameW(process, 0, buffer.data(), &length))
        return "";
    buffer.resize(length);
    return Narrow(buffer);
}

// Calls visit(id, handle) for every other process that can be opened to be ended.
template <class Visit> void ForEachProcess(Visit visit) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId() || entry.th32ProcessID == 0)
            continue;
        HANDLE process =
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                        entry.th32ProcessID);
        if (!process)
            continue;
        visit(entry.th32ProcessID, process);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// The Windows name of a Unix file, as Wine maps it.
std::wstring DosNameOfUnixFile(const char* unixPath) {
    using ToDos = WCHAR*(CDECL*)(LPCSTR);
    const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (toDos) {
        if (WCHAR* name = toDos(unixPath)) {
            std::wstring result = name;
            HeapFree(GetProcessHeap(), 0, name);
            return result;
        }
    }
    std::wstring fallback = L"Z:" + Widen(unixPath);
    for (wchar_t& c : fallback)
        if (c == L'/')
            c = L'\\';
    return fallback;
}
} // namespace

Process::Process(HANDLE handle, DWORD id) : handle(handle), id(id) {
    if (handle)
        Started().Add(handle);
}

Process::Process(Process&& other) noexcept : handle(other.handle), id(other.id) {
    other.handle = nullptr;
    other.id = 0;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        End();
        handle = other.handle;
        id = other.id;
        other.handle = nullptr;
        other.id = 0;
    }
    return *this;
}

Process::~Process() {
    End();
}

Process Process::Start(const std::string& applicationPath, const std::string& commandLine) {
    const std::wstring application = Widen(applicationPath);
    std::wstring arguments = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Suspended until it is in the job, so that anything it starts is in the job too.
    if (!CreateProcessW(application.c_str(), arguments.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start " << applicationPath << " (error " << GetLastError() << ")";
        return {};
    }
    if (TestJob())
        AssignProcessToJobObject(TestJob(), info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

bool Process::LaunchInLocale(const std::string& applicationPath, const std::string& unixLocale) {
    // A Unix program started from Windows gets the environment block as its environment;
    // the Wine process it starts then reads its locale from there.
    const std::wstring env = DosNameOfUnixFile("/usr/bin/env");
    std::wstring arguments =
        L"env LC_ALL=" + Widen(unixLocale) + L" wine \"" + Widen(applicationPath) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(env.c_str(), arguments.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start " << Narrow(env) << " (error " << GetLastError() << ")";
        return false;
    }
    // Wine hands out no handles for a Unix process.
    if (info.hThread)
        CloseHandle(info.hThread);
    if (info.hProcess)
        CloseHandle(info.hProcess);
    return true;
}

Process Process::StartInLocale(const std::string& applicationPath, const std::string& unixLocale) {
    if (!LaunchInLocale(applicationPath, unixLocale))
        return {};
    DWORD started = 0;
    WaitUntil(
        [&] {
            const std::vector<DWORD> ids = ProcessesOf(applicationPath);
            started = ids.empty() ? 0 : ids.front();
            return started != 0;
        },
        kStartTimeout);
    if (started == 0) {
        ADD_FAILURE() << applicationPath << " did not come up in locale " << unixLocale;
        return {};
    }
    return Attach(started);
}

Process Process::Attach(DWORD id) {
    HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) {
        ADD_FAILURE() << "cannot open process " << id << " (error " << GetLastError() << ")";
        return {};
    }
    return Process(process, id);
}

bool Process::IsRunning() const {
    return handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(Milliseconds timeout) const {
    return handle &&
           WaitForSingleObject(handle, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void Process::End() {
    if (!handle)
        return;
    if (IsRunning()) {
        TerminateProcess(handle, kEndedByTest);
        WaitForExit(kEndTimeout);
    }
    CloseHandle(handle);
    handle = nullptr;
    id = 0;
}

std::vector<DWORD> ProcessesOf(const std::string& imagePath) {
    std::vector<DWORD> ids;
    ForEachProcess([&](DWORD id, HANDLE process) {
        if (EqualsNoCase(ImagePathOf(process), imagePath))
            ids.push_back(id);
    });
    return ids;
}

std::set<std::string> LoadedLibraries(DWORD processId) {
    std::set<std::string> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return names;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry))
        names.insert(ToLowerAscii(Narrow(entry.szModule)));
    CloseHandle(snapshot);
    return names;
}

bool EndProcessesUnder(const std::string& folder) {
    const std::string prefix = folder + "\\";
    bool allEnded = true;
    ForEachProcess([&](DWORD, HANDLE process) {
        if (!StartsWithNoCase(ImagePathOf(process), prefix))
            return;
        TerminateProcess(process, kEndedByTest);
        allEnded = WaitForSingleObject(process, static_cast<DWORD>(kEndTimeout.count())) ==
                       WAIT_OBJECT_0 &&
                   allEnded;
    });
    return allEnded;
}

} // namespace e2e
