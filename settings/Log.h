#pragma once
#include <cstdint>
#include <functional>
#include <string>

// The diagnostic log. It writes only when the program runs under a file name holding
// "_log.exe" (any case); then each line is appended to a file in the program folder.
class CCommon {
public:
    using PathSource = std::function<std::string()>;

    CCommon(); // reads the running program's path
    explicit CCommon(PathSource programPath);

    // Appends "<now> <text>" as one line, when enabled. Failures are silent.
    void WriteLog(const std::string& text);

    bool Enabled() const { return enabled_; }
    const std::string& LogPath() const { return logPath_; } // "" until the first line

private:
    void TrimWhenTooLarge();

    PathSource programPath_;
    bool enabled_ = false;
    std::string logPath_;
    std::uint32_t lastSizeCheck_ = 0; // tick count
};

inline constexpr std::uint32_t kLogSizeCheckIntervalMs = 300000;
inline constexpr std::int64_t kLogMaxBytes = 2048000;

// The process's log object and a shorthand for its WriteLog.
CCommon& Common();
void WriteLog(const std::string& text);

// Where the log of the program at `programPath` goes: its folder, a tag made from the
// folder path, and the program's file name with ".lsg" for ".exe". "" for an empty path.
std::string LogFilePath(const std::string& programPath);
