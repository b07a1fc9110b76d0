#pragma once
// The page update popup: a shaped window in the bottom-right corner for about ten seconds.
// It owns itself. Win32 code only.
#include "platform/Dialog.h"
#include "platform/ShapedBackground_win.h"
#include <string>

inline constexpr UINT_PTR kNewsNotifyTimer = 1100;

class CDlgNewsNotify final : public DialogOf<CDlgNewsNotify> {
public:
    CDlgNewsNotify();
    ~CDlgNewsNotify() override;

    static const MessageMap<CDlgNewsNotify> messages;

    // A new popup owned by the desktop, its item set; nullptr when it cannot be made. Not
    // shown yet: the caller shows it (show code 4 from the price bar; top-most and in front
    // from the Test button).
    static CDlgNewsNotify* Open(const std::string& pageName);
    // The popup the price bar opened, while it is open (at most one).
    static HWND BarPopup();
    static void SetBarPopup(HWND popup);

    void SetUpdateItem(const std::string& pageName);

private:
    void OnFinalMessage() override;

    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnTimer(MsgWParam, MsgLParam);
    MsgResult OnCtlColor(MsgWParam, MsgLParam);
    MsgResult OnEraseBackground(MsgWParam, MsgLParam);
    MsgResult OnPaint(MsgWParam, MsgLParam);
    MsgResult OnView(MsgWParam, MsgLParam);
    MsgResult OnClose(MsgWParam, MsgLParam);
    MsgResult OnDestroy(MsgWParam, MsgLParam);

    void ShapeAndPlace();
    void LayOutControls();

    int counter = 0;
    int lifetime = 0;
    ShapedBackground background;
};
