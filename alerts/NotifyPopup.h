#pragma once
#include <string>

// Rules of the notification popup that need no window.

inline constexpr int kNotifyMinLines = 1;
inline constexpr int kNotifyMaxLines = 10;
inline constexpr int kNotifyLineHeight = 20;
inline constexpr int kNotifyBaseHeight = 60;
inline constexpr int kNotifyBottomGap = 30; // above the bottom of the screen
inline constexpr int kNotifyRightGap = 3;
inline constexpr int kNotifyDefaultSeconds = 5;

struct NotifyRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The lines the popup makes room for: 0 without a message, else the edit's count in 1..10.
int NotifyLines(bool hasMessage, int editLineCount);
// The popup's place in the bottom-right corner of a screen of the given size.
NotifyRect NotifyPlacement(int screenWidth, int screenHeight, int imageWidth, int lines);
// Seconds until the popup closes by itself from the setting's text; 0 means it stays.
int NotifyCloseSeconds(const std::string& setting);

// A click on the popup: the attached terminal comes forward (shown first when hidden).
// False when no terminal is attached any more.
bool BringTerminalForward();
