#pragma once
// The alert history window: the newest events of the history file, filtered by pair. One
// at a time, made with new and gone with its window. Win32 code only.
#include "feed/AlertHistory.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include <string>
#include <vector>

class CDlgHistory final : public DialogOf<CDlgHistory> {
public:
    CDlgHistory();
    ~CDlgHistory() override;

    static const MessageMap<CDlgHistory> messages;

    static CDlgHistory* Instance(); // the open one, or nullptr
    // Reads the file again; the chosen pair stays while the file still names it.
    void Reload();

private:
    void OnFinalMessage() override;

    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnSize(MsgWParam, MsgLParam);
    MsgResult OnMinMaxInfo(MsgWParam, MsgLParam);
    MsgResult OnFilterChanged(MsgWParam, MsgLParam);
    MsgResult OnListCustomDraw(MsgWParam, MsgLParam);
    MsgResult OnOpen(MsgWParam, MsgLParam);
    MsgResult OnClear(MsgWParam, MsgLParam);
    MsgResult OnClose(MsgWParam, MsgLParam);

    void SetTexts();
    void SetUpColumns();
    void RememberLayout();
    void FillFilter(const std::string& chosen);
    void FillList();
    std::string ChosenPair() const;

    // How a control follows the window's edges when it is resized.
    enum class Follow { None, Both, Bottom, BottomRight };
    struct Anchor {
        int id;
        Follow follow;
        RECT place; // in the client area as made
    };

    std::string path;
    std::vector<HistoryEvent> events; // newest first
    std::vector<bool> failedRows;     // the rows of deliveries that failed, as shown
    ListView list;
    std::vector<Anchor> anchors;
    SIZE madeClient{};
    SIZE smallest{};
};

// Brings the window up, reloaded; makes it the first time.
void OpenHistoryWindow();
