#pragma once
// Sections and keys of the watched pages in the main settings file: section "NEWSTAB"
// holds the count, "NEWSTAB<n>" each page.
namespace newskey {
inline constexpr const char* kPagesSection = "NEWSTAB";
inline constexpr const char* kPageCount = "NUM";
inline constexpr const char* kWindowHandle = "HWD";
} // namespace newskey
