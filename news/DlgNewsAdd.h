#pragma once
// The add/edit dialog of one watched page. Modal. Win32 code only.
#include "platform/Dialog.h"
#include <string>

class NewsTabs;
struct PageRecord;

class CDlgNewsAdd final : public DialogOf<CDlgNewsAdd> {
public:
    // `record` -1 adds a page to the news window; else edits that record (tab index).
    CDlgNewsAdd(HWND newsWindow, NewsTabs& tabs, int record);

    static const MessageMap<CDlgNewsAdd> messages;

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnOk(MsgWParam, MsgLParam);
    MsgResult OnCancel(MsgWParam, MsgLParam);
    MsgResult OnTest(MsgWParam, MsgLParam);
    MsgResult OnWatch(MsgWParam, MsgLParam);

    bool Editing() const { return record >= 0; }
    void SetTexts();
    void FillFromRecord();
    void LayOutIntervalRow();
    void EnableWatchControls();
    void Tell(const std::string& text);
    void Store(const PageRecord& page, int intervalMinutes);

    HWND newsWindow;
    NewsTabs& tabs;
    int record;
};
