#pragma once
// Entries of the UI text table for the move, channel and spread alerts, an alert's end and
// snooze, and the quiet hours. Numbered from 300 on, apart from the entries of TextIds.h, so
// that texts added there meanwhile keep their numbers.
inline constexpr int kTextMoveItem = 300;
inline constexpr int kTextChannelItem = 301;
inline constexpr int kTextSpreadItem = 302;
inline constexpr int kTextMoveText = 303; // %1 pips, %2 minutes, %3 the way
inline constexpr int kTextWayUp = 304;
inline constexpr int kTextWayDown = 305;
inline constexpr int kTextWayEither = 306;
inline constexpr int kTextChannelText = 307; // %1 low, %2 high, %3 enters or leaves
inline constexpr int kTextEnters = 308;
inline constexpr int kTextLeaves = 309;
inline constexpr int kTextSpreadText = 310; // %1 pips
inline constexpr int kTextNoAskPrice = 311;
inline constexpr int kTextUntilNote = 312;   // %1 the end time
inline constexpr int kTextSnoozedNote = 313; // %1 the snooze's end
inline constexpr int kTextSnoozeQuarter = 314;
inline constexpr int kTextSnoozeHour = 315;
inline constexpr int kTextSnoozeTomorrow = 316;
inline constexpr int kTextPipsWithin = 317;
inline constexpr int kTextMinutesWithin = 318;
inline constexpr int kTextTo = 319;
inline constexpr int kTextSpreadAtLeast = 320;
inline constexpr int kTextUntil = 321;
inline constexpr int kTextQuietFrom = 322;
inline constexpr int kTextQuietHold = 323;
inline constexpr int kTextHistorySnoozed = 324;
inline constexpr int kTextHistoryHeld = 325;
inline constexpr int kTextCheckMovePips = 326;
inline constexpr int kTextCheckMoveMinutes = 327;
inline constexpr int kTextCheckChannel = 328;
inline constexpr int kTextCheckSpread = 329;
inline constexpr int kTextCheckUntil = 330;
inline constexpr int kTextCheckQuiet = 331;
inline constexpr int kTextSnoozeLabel = 332;
inline constexpr int kTextHeldBackDetails = 333; // %1 the actions held back
inline constexpr int kTextSnoozedDetails = 334;  // %1 the snooze's end
