#pragma once
#include "settings/Config.h"

// Keys of the main settings file that the feed guard owns; older versions ignore them.
namespace feedkey {
inline constexpr const char* kEnabled = "FEEDGUARD";        // "0" off; on otherwise
inline constexpr const char* kMinutes = "FEEDGUARDMINS";    // quiet minutes before a warning
inline constexpr const char* kActions = "FEEDGUARDACTIONS"; // the alert action bits
} // namespace feedkey

inline constexpr int kFeedGuardMinMinutes = 1;
inline constexpr int kFeedGuardMaxMinutes = 24 * 60;
// Popup, sound, e-mail and phone; speaking a price says nothing of a stopped feed.
inline constexpr int kFeedGuardActionMask = 1 | 4 | 8 | 16;
inline constexpr int kFeedGuardDefaultActions = 1;

struct FeedGuardSettings {
    bool enabled = true;
    int minutes = 5;
    int actions = kFeedGuardDefaultActions;
};

// Read leniently: a missing or unreadable value takes its default, a number out of range
// the nearest allowed one, unknown action bits are dropped.
FeedGuardSettings ReadFeedGuardSettings(CConfig& config);
