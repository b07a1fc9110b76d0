#pragma once
#include <string>

// The first file of the folder matching "*.wav" in the system's listing order, as a full
// path; "" when there is none. The folder ends in a separator.
std::string FirstWaveFile(const std::string& folder);
