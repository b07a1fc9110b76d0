#pragma once
// The alert editor's rules, apart from its window: which controls a condition shows, what
// is enabled, the "+"/"-" arithmetic, the checks before a save and the test's values.
#include "alerts/AlertStore.h"
#include "alerts/Evaluation.h"
#include <map>
#include <optional>
#include <string>
#include <vector>

// Every control that belongs to one condition or another; all share the price box's row.
const std::vector<int>& ConditionControls();
// The ones the condition shows.
std::vector<int> VisibleConditionControls(int condition);

// What the enabled states depend on.
struct EditorState {
    bool enabled = true; // "Enable alerts"
    bool editing = false;
    int condition = kPriceAbove;
    bool notification = false, voice = false, sound = false;
    bool speakLast = false, custom = false, startOn = false;
    bool dateOn = false, hourAny = true, unlimited = false;
    bool untilOn = false;
};

struct EditorEnabling {
    std::map<int, bool> enabled; // control id -> enabled, for every control the rules touch
    bool uncheckAutoDelete = false;
};
// The enabled state of every input, label and button of the form but the ones that are
// always available (the switch itself, "Submit", "Close").
EditorEnabling EditorEnabledStates(const EditorState& state);

// "+" (direction 1) and "-" (-1): the price moved by step units of its last decimal, as
// FormatPrice shows the symbol. Empty when the price box is empty.
std::string StepPrice(const std::string& symbol, const std::string& price,
                      const std::string& stepText, int direction);

// Where a refused save sends the user.
struct EditorRefusal {
    int text = 0;          // UI text entry of the message
    int focus = 0;         // control id that takes the focus; 0 none
    bool openList = false; // drop the control's list down
};
// The checks before a save (when enabled) and before a test, in their order; the first
// that fails. The sound file's existence is the caller's to find out.
std::optional<EditorRefusal> CheckAlertForm(const AlertForm& form, bool soundFileExists);
// An empty repeat count counts as one firing.
void FillEmptyRepeatCount(AlertForm& form);

// What "Test" hands to the actions: the form as if the alert had fired at that price.
FiredAlert TestAlert(const AlertForm& form, const std::string& price);

// The folder the "..." dialog opens in: the text before the path's last "\" when that is at
// position 6 or later; empty otherwise.
std::string BrowseFolder(const std::string& path);

// Last-used value of the hour box: "-1" for "Any", else its text.
std::string HourBoxValue(const std::string& text);
