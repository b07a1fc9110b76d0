#pragma once
#include "platform/Text.h"
#include <string>

// Text helpers of the terminal reader.

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
