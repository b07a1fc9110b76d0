#pragma once
// The options window's general page: start-up, terminal, tray icon, popup closing, the
// watch over the feed and the quiet hours.
#include "door/PriceBarDoor.h"
#include "options/DlgOptionPage.h"
#include "platform/Dialog.h"

class CDlgGeneral final : public DialogOf<CDlgGeneral> {
public:
    CDlgGeneral(PriceBarDoor& bar, PageChanged changed);
    static const MessageMap<CDlgGeneral> messages;
    void Apply();

private:
    // Every command of the page, and a turn of a clock, counts as a change.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnWithWindows(MsgWParam, MsgLParam);
    MsgResult OnRunTerminal(MsgWParam, MsgLParam);
    MsgResult OnBrowse(MsgWParam, MsgLParam);
    void Browse();
    void LoadFeedGuard();
    void ApplyFeedGuard();
    void LoadQuietHours();
    void ApplyQuietHours();
    void WriteLogOnEntry(bool on);

    PriceBarDoor& bar;
    PageChanged changed;
    bool loaded = false;
};
