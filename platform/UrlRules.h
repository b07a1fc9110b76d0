#pragma once
// What the URL opener and the hyperlink decide, apart from the shell.
#include <string>

// An address the default browser opens: it holds "http://" or "https://", in any case.
bool IsWebAddress(const std::string& address);
// What the embedded browser may open, in a frame or a new window: an address that starts
// with "http://" or "https://" (any case, blanks and control characters around it ignored),
// or the control's own empty page "about:blank".
bool BrowserMayOpen(const std::string& address);
// The program that a registered "open" command starts: the quoted first part, or the text
// up to the first blank.
std::string CommandProgram(const std::string& command);
// The command with its "%1" (the quoted one first) and all after it cut off, then three
// blanks and the address.
std::string BrowserCommandLine(const std::string& command, const std::string& address);
// "Unable   to   open   hyperlink:" and the text of the shell's result code.
std::string HyperlinkFailureText(int code);
