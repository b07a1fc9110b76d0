#pragma once
// The notification popup. Win32 code only.
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

    // A new popup that owns itself: it is deleted once its window is gone. A click into it
    // brings the terminal forward, or runs `clicked` when one is given.
    static void Open(const std::string& symbol, const std::string& price,
                     const std::string& message, std::function<void()> clicked = {});
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
    MsgResult OnClose(MsgWParam, MsgLParam);
    MsgResult OnDestroy(MsgWParam, MsgLParam);

    void ShapeWindow();
    void SetMark();
    void CreateFonts();
    void FillLabels();
    void StartCloseTimer();
    void Place();

    std::string symbol;
    std::string price;
    std::string message;
    std::function<void()> clicked;
    ShapedBackground background;
    SIZE backgroundSize{};
    HFONT labelFont = nullptr;
    HFONT messageFont = nullptr;
    bool placed = false;
};
