#pragma once
// Sections and keys of the watched pages in the main settings file: section "NEWSTAB"
// holds the count, the last page and the window's place; "NEWSTAB<n>" each page.
namespace newskey {
inline constexpr const char* kPagesSection = "NEWSTAB";
inline constexpr const char* kPageCount = "NUM";
inline constexpr const char* kLastPage = "LSTINDEX";
inline constexpr const char* kX = "X";
inline constexpr const char* kY = "Y";
inline constexpr const char* kWidth = "W";
inline constexpr const char* kHeight = "H";
// One page's record.
inline constexpr const char* kName = "NAME";
inline constexpr const char* kUrl = "URL";
inline constexpr const char* kNotify = "NOTIFY";
inline constexpr const char* kInterval = "INTERVAL";
inline constexpr const char* kWindowHandle = "HWD";
} // namespace newskey
