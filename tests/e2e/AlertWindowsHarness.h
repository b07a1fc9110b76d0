#pragma once
// The alerts list and the alert editor as the end-to-end tests drive them: by control ids,
// with the messages a user's clicks and typing send.
#include "tests/e2e/PriceBarHarness.h"
#include "tests/e2e/SimHarness.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace e2e {

// The program against the frozen simulator, with EURUSD and USDJPY displayed.
class AlertWindowsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { CloseMainProgram(program, bar); }

    // With a Unix locale, the program sees that Windows language and its date format.
    void StartProgram(const std::string& alerts, const std::string& extraSettings = "",
                      const std::string& unixLocale = "");
    // Opens the alerts list through the program menu's command; nullptr when it does not show.
    HWND OpenList();
    // Presses the button and waits for the editor.
    HWND OpenEditor(int button);
    // The program's message box now shown, or nullptr once the timeout has passed.
    HWND WaitForMessageBox(Milliseconds timeout = 5s);
    // Answers the message box (IDOK or IDCANCEL) and waits for it to go; its text.
    std::string Answer(int button);
    std::string AlertValue(const std::string& id, const std::string& key);

    Installation install{{MainProgram()}};
    std::unique_ptr<Simulator> simulator;
    Process program;
    HWND bar = nullptr;
};

// Typing, choosing and clicking in another process's dialog.
void TypeText(HWND dialog, int id, const std::string& text);
void ChooseItem(HWND dialog, int id, int index); // and tells the dialog, as a user's choice does
void Click(HWND dialog, int id);                 // posted BM_CLICK
bool IsEnabledItem(HWND dialog, int id);
bool IsShownItem(HWND dialog, int id);

// A list view's items in another process.
int ListItemCount(HWND list);
bool SetListItemState(HWND list, int item, UINT state, UINT mask);
inline bool CheckListItem(HWND list, int item, bool checked) {
    return SetListItemState(list, item, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1),
                            LVIS_STATEIMAGEMASK);
}
std::string ListItemText(HWND list, int item, int column);
// A tab's caption in another process.
std::string TabItemText(HWND tab, int item);

// True while the process shows an alert's popup.
bool PopupShown(DWORD processId);

// The options window of the process, and the page of it that holds a control.
HWND OptionsWindowOf(DWORD processId);
HWND OptionsPageWith(HWND options, int id);

} // namespace e2e
