#include "platform/UrlRules.h"
#include <algorithm>
#include <cctype>
#include <cstdio>

bool IsWebAddress(const std::string& address) {
    std::string lower = address;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("http://") != std::string::npos ||
           lower.find("https://") != std::string::npos;
}

bool BrowserMayOpen(const std::string& address) {
    std::size_t first = 0, last = address.size();
    while (first < last && static_cast<unsigned char>(address[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(address[last - 1]) <= ' ')
        --last;
    std::string lower = address.substr(first, last - first);
    // Tabs and line breaks inside are dropped by the browser: "java\tscript:" is "javascript:".
    std::erase_if(lower, [](char c) { return c == '\t' || c == '\r' || c == '\n'; });
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0 ||
           lower == "about:blank";
}

std::string CommandProgram(const std::string& command) {
    const std::size_t start = command.find_first_not_of(' ');
    if (start == std::string::npos)
        return "";
    if (command[start] == '"') {
        const std::size_t end = command.find('"', start + 1);
        return command.substr(start + 1, end == std::string::npos ? end : end - start - 1);
    }
    const std::size_t end = command.find(' ', start);
    return command.substr(start, end == std::string::npos ? end : end - start);
}

std::string BrowserCommandLine(const std::string& command, const std::string& address) {
    std::size_t cut = command.find("\"%1\"");
    if (cut == std::string::npos)
        cut = command.find("%1");
    return command.substr(0, cut) + "   " + address;
}

std::string HyperlinkFailureText(int code) {
    const char* text = nullptr;
    switch (code) {
    case 0:
        text = "The   operating   system   is   out\nof   memory   or   resources.";
        break;
    case 2:
        text = "The   specified   file   was   not   found.";
        break;
    case 3:
        text = "The   specified   path   was   not   found.";
        break;
    case 5:
        text = "The   operating   system   denied\naccess   to   the   specified   file.";
        break;
    case 8:
        text = "There   was   not   enough   memory   to   complete   the   operation.";
        break;
    case 11:
        text = "The   .EXE   file   is   invalid\n(non-Win32   .EXE   or   error   in   .EXE   "
               "image).";
        break;
    case 26:
        text = "A   sharing   violation   occurred.   ";
        break;
    case 27:
        text = "The   filename   association   is\nincomplete   or   invalid.";
        break;
    case 28:
        text = "The   DDE   transaction   could   not\nbe   completed   because   the   request   "
               "timed   out.";
        break;
    case 29:
        text = "The   DDE   transaction   failed.";
        break;
    case 30:
        text = "The   DDE   transaction   could   not\nbe   completed   because   other   DDE   "
               "transactions\nwere   being   processed.";
        break;
    case 31:
        text = "There   is   no   application   associated\nwith   the   given   filename   "
               "extension.";
        break;
    case 32:
        text = "The   specified   dynamic-link   library   was   not   found.";
        break;
    default:
        break;
    }
    std::string detail;
    if (text) {
        detail = text;
    } else {
        char unknown[64] = {};
        std::snprintf(unknown, sizeof unknown, "Unknown   Error   (%d)   occurred.", code);
        detail = unknown;
    }
    return "Unable   to   open   hyperlink:\n\n" + detail;
}
