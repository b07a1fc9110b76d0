#pragma once
// End-to-end helpers: a fresh installation in a temporary folder, the programs started
// from it, and what a user's system sees of them (windows, texts, files). Every wait polls
// with a timeout; every process a test starts is ended whatever the outcome.
#include <windows.h>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace e2e {

using Milliseconds = std::chrono::milliseconds;
using namespace std::chrono_literals;

// Generous: a first start under Wine can take a few seconds on a loaded machine.
constexpr Milliseconds kStartTimeout = 20s;
constexpr Milliseconds kPollInterval = 20ms;

// Polls until the condition holds or the timeout has passed; returns the last result.
bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout);

// System time in 100 ns units, comparable across processes.
std::uint64_t SystemTimeNow();

// ---- files ------------------------------------------------------------------------

// Folder of the built programs: PIPWARDEN_BIN, else the folder of this test program.
std::string BuiltProgramsFolder();

std::string ReadTextFile(const std::string& path); // empty when missing
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);

// A value of an INI text: section and key compared without case, blanks trimmed.
std::optional<std::string> IniValue(const std::string& content, const std::string& section,
                                    const std::string& key);

// A built program and the place of its copy, relative to the installation folder.
struct Placement {
    std::string built;
    std::string target;
};
Placement LauncherProgram();                     // "Pip Warden.exe" at the top
Placement MainProgram();                         // file\Pipwarden.exe
Placement RecorderAs(const std::string& target); // the recorder under another name

// A program folder laid out like an installation: "<temp>\pw e2e <n>\Pip Warden", so both
// the folder and its parent hold a blank (a test may place a decoy program in the parent
// as "..\Pip.exe"). Ends every process running from the parent and deletes it when
// destroyed. Throws std::runtime_error when it cannot be made.
class Installation {
public:
    explicit Installation(const std::vector<Placement>& programs);
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    const std::string& Root() const { return root; }       // no trailing backslash
    const std::string& Scratch() const { return scratch; } // the temporary parent folder
    std::string Path(const std::string& relative) const;
    std::string LauncherPath() const { return Path("Pip Warden.exe"); }
    std::string MainProgramPath() const { return Path("file\\Pipwarden.exe"); }

    void Place(const Placement& program) const; // copies a built program in
    void MakeFolder(const std::string& relative) const;
    void WriteFile(const std::string& relative, const std::string& content) const;
    void WriteSettings(const std::string& content) const { WriteFile(kSettings, content); }
    void WriteAlerts(const std::string& content) const { WriteFile(kAlerts, content); }
    std::string ReadFile(const std::string& relative) const;
    std::string ReadSettings() const { return ReadFile(kSettings); }
    std::string ReadAlerts() const { return ReadFile(kAlerts); }

private:
    static constexpr char kSettings[] = "file\\pipward.cfg";
    static constexpr char kAlerts[] = "file\\fxconset.ini";
    std::string scratch;
    std::string root;
};

// ---- processes --------------------------------------------------------------------

// A started program. Ends it when destroyed; the process and anything it starts also
// belong to a job that ends them when the test program ends.
class Process {
public:
    // CreateProcessW with the exact path as the application name and the command line
    // unchanged. An empty Process (false) when the start failed.
    static Process Start(const std::string& applicationPath, const std::string& commandLine);

    // Starts the program as a new Wine process whose Unix locale is LC_ALL=unixLocale
    // (e.g. "zh_CN.UTF-8"): Wine takes the user's default language from that, and the
    // environment block of CreateProcessW does not reach a Wine child's locale. The
    // program's command line is its quoted path. The process is picked up by its image
    // path, so it must stay up until it is found.
    static Process StartInLocale(const std::string& applicationPath, const std::string& unixLocale);
    // The same start for a program that ends by itself; false when the start failed.
    static bool LaunchInLocale(const std::string& applicationPath, const std::string& unixLocale);

    Process() = default;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();

    explicit operator bool() const { return handle != nullptr; }
    DWORD Id() const { return id; }
    bool IsRunning() const;
    bool WaitForExit(Milliseconds timeout) const;
    void End();

private:
    Process(HANDLE handle, DWORD id);
    static Process Attach(DWORD id);
    HANDLE handle = nullptr;
    DWORD id = 0;
};

// Ids of the running processes whose image is the given file.
std::vector<DWORD> ProcessesOf(const std::string& imagePath);

// File names of the libraries a process has loaded, in lower case.
std::set<std::string> LoadedLibraries(DWORD processId);

// Ends every process whose image lies inside the folder; true when none is left.
bool EndProcessesUnder(const std::string& folder);

// ---- windows ----------------------------------------------------------------------

struct WindowQuery {
    std::string className;            // empty: any class
    std::optional<std::string> title; // exact title; none: any
    DWORD processId = 0;              // 0: any process
    bool visibleOnly = true;          // a dialog shows itself after its initialisation
};

std::vector<HWND> TopLevelWindows(const WindowQuery& query);
HWND WaitForWindow(const WindowQuery& query, Milliseconds timeout = kStartTimeout);

std::string ClassNameOf(HWND window);
std::string WindowText(HWND window); // WM_GETTEXT, which also works across processes

struct ChildWindow {
    HWND handle = nullptr;
    int id = 0;
    std::string className;
    std::string text;
};
std::vector<ChildWindow> ChildWindows(HWND parent);

// The message text of a standard message box ("#32770").
std::string MessageBoxText(HWND box);

// BM_CLICK on the dialog's button with that id; false when there is no such button.
bool PressButton(HWND dialog, int buttonId);

} // namespace e2e
