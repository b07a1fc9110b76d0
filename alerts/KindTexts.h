#pragma once
// The words of the newer conditions and of an alert's end, snooze and waiting, as the list,
// the popup and the history show them.
#include "alerts/AlertKinds.h"
#include <string>
#include <vector>

// The pattern with "%1", "%2", ... replaced by the values in turn.
std::string WithValues(const std::string& pattern, const std::vector<std::string>& values);
// "2026-12-09 18:00:00" without its seconds.
std::string ShortTimeText(const std::string& stored);

// "Moves 30 pips within 15 min, up", "Channel 1.2000-1.3000, enters", "Spread >= 2.5 pips";
// "" for the older conditions.
std::string KindConditionText(long long condition, const AlertExtras& extras);
// The history's details of a snooze and of actions the quiet hours held back.
std::string SnoozedDetails(const std::string& until);
std::string HeldBackDetails(const std::string& actionNames);
// What the information column adds: the end time, a snooze that still holds and why a
// spread alert waits; "" when there is nothing to say.
std::string KindInformation(long long condition, const AlertExtras& extras);
