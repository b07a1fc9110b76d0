#include "settings/Log.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "settings/DateTime.h"
#include "settings/SysPaths.h"
#include <string_view>
#include <utility>

namespace {
constexpr const char* kLogMarker = "_log.exe";
constexpr std::size_t kTagLength = 20; // characters, not bytes
constexpr std::string_view kTagDropped = ": -_\\/(){}[]";

void RemoveAll(std::string& text, const std::string& part) {
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at))
        text.erase(at, part.size());
}

// Keeps logs of copies of the program in different folders apart.
std::string FolderTag(const std::string& folder) {
    std::string tag;
    for (char c : ToLowerAscii(folder)) {
        if (kTagDropped.find(c) == std::string_view::npos)
            tag += c;
    }
    RemoveAll(tag, "x86");
    return LastCharacters(tag, kTagLength);
}

std::string LogFileName(const std::string& programPath) {
    const std::size_t separator = programPath.find_last_of("\\/");
    std::string name =
        separator == std::string::npos ? programPath : programPath.substr(separator + 1);
    RemoveAll(name, " ");
    // Case-blind, so a program named *_LOG.EXE never logs into itself.
    const std::string extension = ".exe";
    if (name.size() >= extension.size() &&
        EqualsNoCase(name.substr(name.size() - extension.size()), extension))
        name.erase(name.size() - extension.size());
    return name + ".lsg";
}

bool HasLogMarker(const std::string& programPath) {
    // A marker at the very start is no file name.
    return ToLowerAscii(programPath).find(kLogMarker, 1) != std::string::npos;
}
} // namespace

std::string LogFilePath(const std::string& programPath) {
    if (programPath.empty())
        return "";
    const std::string folder = GetFolderOfPath(programPath);
    return folder + FolderTag(folder) + LogFileName(programPath);
}

CCommon::CCommon() : CCommon(GetProgramPath) {}

CCommon::CCommon(PathSource programPath) : programPath_(std::move(programPath)) {}

void CCommon::WriteLog(const std::string& text) {
    const std::string programPath = programPath_();
    if (HasLogMarker(programPath))
        enabled_ = true;
    if (!enabled_)
        return;
    std::string body = text;
    while (!body.empty() && (body.back() == '\r' || body.back() == '\n'))
        body.pop_back();
    if (body.empty())
        return;
    const std::string line = DateTimeText("") + " " + body + "\r\n";
    if (logPath_.empty())
        logPath_ = LogFilePath(programPath);
    if (logPath_.empty())
        return;
    TrimWhenTooLarge();
    Files().Append(logPath_, line);
}

// Starts the file afresh once it has grown too large; looks at most every few minutes.
void CCommon::TrimWhenTooLarge() {
    const std::uint32_t now = CurrentClock().TickCount();
    // Unsigned difference: right across the tick count's wrap after 49.7 days.
    if (static_cast<std::uint32_t>(now - lastSizeCheck_) <= kLogSizeCheckIntervalMs)
        return;
    if (Files().Size(logPath_) > kLogMaxBytes) {
        // A failed deletion keeps the old time, so the next line tries again.
        if (Files().Delete(logPath_))
            lastSizeCheck_ = now;
    } else {
        lastSizeCheck_ = now;
    }
}

CCommon& Common() {
    static CCommon common;
    return common;
}

void WriteLog(const std::string& text) {
    Common().WriteLog(text);
}
