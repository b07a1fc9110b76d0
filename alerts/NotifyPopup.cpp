#include "alerts/NotifyPopup.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include <algorithm>

int NotifyLines(bool hasMessage, int editLineCount) {
    if (!hasMessage)
        return 0;
    return std::clamp(editLineCount, kNotifyMinLines, kNotifyMaxLines);
}

NotifyRect NotifyPlacement(int screenWidth, int screenHeight, int imageWidth, int lines) {
    NotifyRect rect;
    rect.left = screenWidth - imageWidth - kNotifyRightGap;
    rect.top = screenHeight - lines * kNotifyLineHeight - kNotifyBaseHeight - kNotifyBottomGap;
    rect.right = screenWidth - kNotifyRightGap;
    rect.bottom = screenHeight - kNotifyBottomGap;
    return rect;
}

int NotifyCloseSeconds(const std::string& setting) {
    if (setting.empty())
        return kNotifyDefaultSeconds;
    const long long seconds = LeadingInteger(setting);
    // A day is more than anyone waits for a popup; it also keeps n * 1000 in range.
    constexpr long long kLongestSeconds = 86400;
    return seconds > 0 ? static_cast<int>(std::min(seconds, kLongestSeconds)) : 0;
}

bool BringTerminalForward() {
    CMTHandler& terminal = MTHandler();
    Desktop& desktop = CurrentDesktop();
    const WindowHandle list = terminal.MarketWatchList();
    if (!list || !desktop.IsWindow(list))
        return false;
    if (desktop.IsVisible(terminal.TerminalWindow()))
        desktop.BringToForeground(terminal.TerminalWindow());
    else
        terminal.ShowHideTerminals();
    return true;
}
