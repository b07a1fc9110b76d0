#pragma once
// A floating price window: one pair in large digits, anywhere on the screen. Win32 code only.
// The program opens them through OpenFloatWindow (floats/FloatWindows.h).
#include "common/EdgeAutoHide.h"
#include "door/PriceBarDoor.h"
#include "platform/Dialog.h"
#include <optional>
#include <string>

inline constexpr UINT_PTR kFloatRefreshTimer = 21;
inline constexpr UINT_PTR kFloatAutoHideTimer = 22;

class CDlgFloat final : public DialogOf<CDlgFloat> {
public:
    CDlgFloat(PriceBarDoor& bar, std::string symbol);
    ~CDlgFloat() override;

    static const MessageMap<CDlgFloat> messages;

    // The object is still alive: not yet deleted with its window.
    static bool Exists(const CDlgFloat* window);
    // The open window of the symbol; nullptr when there is none.
    static CDlgFloat* Find(const std::string& symbol);
    // Every open window, in the order they were opened.
    static std::vector<CDlgFloat*> OpenWindows();

    const std::string& Symbol() const { return symbol; }
    bool EdgeHidden() const { return autoHide.Hidden(); }
    void BringBack() { autoHide.BringBack(); }

private:
    void OnFinalMessage() override;

    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnTimer(MsgWParam, MsgLParam);
    MsgResult OnSize(MsgWParam, MsgLParam);
    MsgResult OnMove(MsgWParam, MsgLParam);
    MsgResult OnGetMinMaxInfo(MsgWParam, MsgLParam);
    MsgResult OnCtlColor(MsgWParam, MsgLParam);
    MsgResult OnDoubleClick(MsgWParam, MsgLParam);
    MsgResult OnPriceClick(MsgWParam, MsgLParam);
    MsgResult OnSymbolClick(MsgWParam, MsgLParam);
    MsgResult OnContextMenu(MsgWParam, MsgLParam);
    MsgResult OnClose(MsgWParam, MsgLParam);

    void CreateFonts();
    void SetIcon();
    void Refresh();
    bool RowStillHolds();
    void ShowPrice(const std::string& text);
    void ResizeToDefault();
    void LayOut();
    void RegisterAndPlace();
    void ShowProgramMenu();
    bool AutoHideSwitchedOn() const;

    PriceBarDoor& bar;
    std::string symbol;
    int row = -1;
    std::string previousPrice;
    std::optional<COLORREF> priceColour; // none until the first change
    int digitCount = 0;
    int layoutCount = 0;
    bool placed = false;
    EdgeAutoHide autoHide;
    HFONT symbolFont = nullptr;
    HFONT headerFont = nullptr;
    HFONT digitsFont = nullptr;
};
