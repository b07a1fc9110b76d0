#pragma once
// Passwords and tokens in the settings files: never stored in the clear. On Windows the
// stored form is bound to the user's account, so a file copied elsewhere gives nothing.
#include <optional>
#include <string>

// The stored form ("dpapi:" and base64 on Windows); "" for an empty secret and on failure.
std::string ProtectSecret(const std::string& clear);
// The secret again; "" from ""; nothing when the text is not in the stored form or cannot
// be read back on this account.
std::optional<std::string> UnprotectSecret(const std::string& stored);
