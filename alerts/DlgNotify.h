#pragma once
// The notification popup. Win32 code only.
#include "alerts/AlertHold.h"
#include "platform/Dialog.h"
#include "platform/ShapedBackground_win.h"
#include <functional>
#include <string>

inline constexpr UINT_PTR kNotifyCloseTimer = 109;

class CDlgNotify final : public DialogOf<CDlgNotify> {
public:
    CDlgNotify(std::string symbol, std::string price, std::string message);
    ~CDlgNotify() override;

    static const MessageMap<CDlgNotify> messages;

    using SnoozeAction = std::function<void(SnoozeChoice)>;
    // A new popup that owns itself: it is deleted once its window is gone. A click into it
    // brings the terminal forward, or runs `clicked` when one is given. With `snooze` it
    // offers the snooze choices along its bottom.
    static void Open(const std::string& symbol, const std::string& price,
                     const std::string& message, std::function<void()> clicked = {},
                     SnoozeAction snooze = {});
    // What a click into the message opens; the main window sets it.
    static void SetOpenAlertsList(std::function<void()> open);

private:
    void OnFinalMessage() override;

    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnTimer(MsgWParam, MsgLParam);
    MsgResult OnCtlColor(MsgWParam, MsgLParam);
    MsgResult OnEraseBackground(MsgWParam, MsgLParam);
    MsgResult OnPaint(MsgWParam, MsgLParam);
    MsgResult OnLeftButtonDown(MsgWParam, MsgLParam);
    MsgResult OnCloseIcon(MsgWParam, MsgLParam);
    MsgResult OnMessageFocus(MsgWParam, MsgLParam);
    MsgResult OnSnooze(MsgWParam, MsgLParam);
    MsgResult OnClose(MsgWParam, MsgLParam);
    MsgResult OnDestroy(MsgWParam, MsgLParam);

    void ShapeWindow();
    void SetMark();
    void CreateFonts();
    void FillLabels();
    void StartCloseTimer();
    void Place();
    void PlaceSnoozeRow(int popupHeight);

    std::string symbol;
    std::string price;
    std::string message;
    std::function<void()> clicked;
    SnoozeAction snooze;
    ShapedBackground background;
    SIZE backgroundSize{};
    HFONT labelFont = nullptr;
    HFONT messageFont = nullptr;
    bool placed = false;
};
