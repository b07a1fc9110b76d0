#pragma once
// Rules of the options window's pages, apart from the windows.
#include "common/HotKeys.h"
#include "door/OptionsPages.h"
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Two or more characters before the first "@", no space, and a "." at least two places
// after the "@" that is not the last character. Control characters are refused too: a line
// break would split the settings line.
bool IsValidEmailAddress(const std::string& address);

// The hot-key control's word: modifiers in the high byte, the key code in the low byte.
std::uint16_t HotKeyControlWord(const HotKeyChoice& choice);
HotKeyChoice HotKeyFromControlWord(std::uint16_t word);

// The general page's two coupled boxes: starting with Windows implies starting the terminal.
struct StartChecks {
    bool withWindows = false;
    bool runTerminal = false;
};
StartChecks AfterWithWindowsClick(StartChecks checks);
StartChecks AfterRunTerminalClick(StartChecks checks);

// The log-on entry's text: the quoted caller path and the switch the launcher waits on.
std::string LogOnEntryText(const std::string& callerPath);

// "CLSNTFSNDS": what the page shows, and what it stores.
struct PopupClosing {
    bool closes = true;
    std::string seconds = "5";
};
PopupClosing ReadPopupClosing(const std::string& stored);
// "-1" when the box is clear; a whole number of seconds from 1 to a day, else the default.
std::string PopupClosingSetting(bool closes, const std::string& shownSeconds);

// The pages OK applies: every changed page and always the one on screen; the e-mail page,
// which may refuse, first; the one on screen last.
std::vector<int> PagesToApplyOnOk(const std::array<bool, kOptionsPageCount>& changed, int selected);

// The data-source page's terminal list: the last title holding the remembered "MTSource"
// text, else the first title; -1 when no terminal runs.
int ChosenTerminalIndex(const std::vector<std::string>& titles, const std::string& source);

// A new pick in the terminal list needs a restart only once the reader is attached to
// another terminal.
bool TerminalPickNeedsRestart(bool startAllowed, int remembered, int picked);

// Applying the data-source page asks to restart only when the attached source differs from
// the choice; the Internet source is left as it is.
bool SourceApplyAsksRestart(int dataSource, int choice, bool startAllowed);
