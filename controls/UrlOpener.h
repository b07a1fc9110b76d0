#pragma once
// Opens a web address in the default browser, or a file or folder with its program.
#include <string>

// The shell's result code: greater than 32 on success.
int OpenUrl(const std::string& address);
