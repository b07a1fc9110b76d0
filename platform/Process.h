#pragma once
#include <string>

// How the started program shows its first window.
enum class StartWindow { Normal, Maximized };

// Starts the program at exactly `programPath` and hands it `commandLine` unchanged. The path
// is never taken from the command line's first words, so a path with blanks cannot start
// some other program. False when nothing was started.
bool StartProgram(const std::string& programPath, const std::string& commandLine,
                  StartWindow window = StartWindow::Normal);

// A variable of this program's environment in UTF-8; the fallback when it is unset or empty
// (on Windows also when it is longer than a path may be).
std::string EnvironmentValue(const char* name, const std::string& fallback = "");
