#include "options/DlgOptions.h"
#include "platform/AlertControls.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceLookup.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

namespace {
// The pages sit inside the tab control's client area, below the tabs.
constexpr int kPageLeft = 8, kPageTop = 30, kPageRight = 8, kPageBottom = 8;
} // namespace

const MessageMap<CDlgOptions> CDlgOptions::messages = {
    onMessage(WM_INITDIALOG, &CDlgOptions::OnInitDialog, "OnInitDialog"),
    onMessage(WM_CLOSE, &CDlgOptions::OnCancel, "OnClose"),
    onNotify(IDC_OPT_TAB, TCN_SELCHANGE, &CDlgOptions::OnTabChange, "OnSelchangeTab"),
    onCommand(IDC_OPT_OK, BN_CLICKED, &CDlgOptions::OnOk, "OnOK"),
    onCommand(IDOK, &CDlgOptions::OnOk, "OnOK"),
    onCommand(IDC_OPT_CANCEL, BN_CLICKED, &CDlgOptions::OnCancel, "OnCancel"),
    onCommand(IDCANCEL, &CDlgOptions::OnCancel, "OnCancel"),
    onCommand(IDC_OPT_APPLY, BN_CLICKED, &CDlgOptions::OnApply, "OnApply"),
};

CDlgOptions::CDlgOptions(PriceBarDoor& bar, int firstPage)
    : DialogOf(IDD_OPTIONS),
      selected(firstPage >= 0 && firstPage < kOptionsPageCount ? firstPage : kGeneralPage),
      general(bar, [this] { PageChangedOn(kGeneralPage); }),
      hotkeys(bar, [this] { PageChangedOn(kHotKeyPage); }),
      source([this] { PageChangedOn(kSourcePage); }, [this] { EndForRestart(); }),
      email([this] { PageChangedOn(kEmailPage); }), phone([this] { PageChangedOn(kPhonePage); }) {}

Dialog& CDlgOptions::Page(int page) {
    switch (page) {
    case kHotKeyPage:
        return hotkeys;
    case kSourcePage:
        return source;
    case kEmailPage:
        return email;
    case kPhonePage:
        return phone;
    default:
        return general;
    }
}

MsgResult CDlgOptions::OnInitDialog(MsgWParam, MsgLParam) {
    Config().Set(barkey::kOptionsShown, "0");
    const HWND tab = Item(IDC_OPT_TAB);
    RECT area{};
    GetClientRect(tab, &area);
    const int captions[] = {kTextOptGeneral, kTextOptHotKeys, kTextOptSource, kTextOptEmail,
                            kTextPhone};
    for (int page = 0; page < kOptionsPageCount; ++page) {
        std::wstring caption = Widen(GetText(captions[page]));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tab, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
        Dialog& dialog = Page(page);
        dialog.Create(tab);
        SetWindowPos(dialog.Handle(), nullptr, area.left + kPageLeft, area.top + kPageTop,
                     area.right - area.left - kPageLeft - kPageRight,
                     area.bottom - area.top - kPageTop - kPageBottom, SWP_NOZORDER);
    }
    ShowPage(selected);
    SetControlText(Handle(), GetText(kTextOptions));
    SetControlText(Item(IDC_OPT_OK), GetText(kTextOptOk));
    SetControlText(Item(IDC_OPT_CANCEL), GetText(kTextOptCancel));
    SetControlText(Item(IDC_OPT_APPLY), GetText(kTextOptApply));
    EnableWindow(Item(IDC_OPT_APPLY), FALSE);
    changed = {};
    Config().Set(barkey::kBringToTop, "0");
    return TRUE;
}

void CDlgOptions::ShowPage(int page) {
    for (int each = 0; each < kOptionsPageCount; ++each)
        ShowWindow(Page(each).Handle(), SW_HIDE);
    ShowWindow(Page(page).Handle(), SW_SHOW);
    SendMessageW(Item(IDC_OPT_TAB), TCM_SETCURSEL, page, 0);
    selected = page;
}

MsgResult CDlgOptions::OnTabChange(MsgWParam, MsgLParam) {
    const int page = static_cast<int>(SendMessageW(Item(IDC_OPT_TAB), TCM_GETCURSEL, 0, 0));
    if (page >= 0 && page < kOptionsPageCount)
        ShowPage(page);
    return 0;
}

void CDlgOptions::PageChangedOn(int page) {
    changed[page] = true;
    EnableWindow(Item(IDC_OPT_APPLY), TRUE);
}

bool CDlgOptions::ApplyPage(int page) {
    bool applied = true;
    switch (page) {
    case kGeneralPage:
        general.Apply();
        break;
    case kHotKeyPage:
        hotkeys.Apply();
        break;
    case kSourcePage:
        source.Apply();
        break;
    case kEmailPage:
        applied = email.Apply();
        break;
    case kPhonePage:
        phone.Apply();
        break;
    default:
        break;
    }
    if (applied)
        changed[page] = false;
    return applied;
}

MsgResult CDlgOptions::OnApply(MsgWParam, MsgLParam) {
    if (ApplyPage(selected))
        EnableWindow(Item(IDC_OPT_APPLY), FALSE);
    return 0;
}

MsgResult CDlgOptions::OnOk(MsgWParam, MsgLParam) {
    if (!source.ChoiceValid()) {
        MessageBoxW(Handle(), Widen(GetText(kTextChooseTerminal)).c_str(),
                    Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK);
        return 0;
    }
    // Every page the user changed keeps its changes, not only the one on screen. A page that
    // refuses its input stays open in front, with everything on it.
    for (const int page : PagesToApplyOnOk(changed, selected)) {
        if (!ApplyPage(page)) {
            ShowPage(page);
            EnableWindow(Item(IDC_OPT_APPLY), TRUE);
            return 0;
        }
        if (restarting)
            return 0; // the data-source page has ended the window
    }
    ClosePages();
    End(IDOK);
    return 0;
}

MsgResult CDlgOptions::OnCancel(MsgWParam, MsgLParam) {
    ClosePages();
    End(IDCANCEL);
    return 0;
}

void CDlgOptions::ClosePages() {
    for (int page = 0; page < kOptionsPageCount; ++page)
        if (Page(page).Handle())
            Page(page).End(0);
    Config().Set(barkey::kBringToTop, "1");
}

void CDlgOptions::EndForRestart() {
    restarting = true;
    Config().Set(barkey::kBringToTop, "1");
    End(IDOK);
}

bool OpenOptionsWindow(PriceBarDoor& bar, int page) {
    CDlgOptions options(bar, page);
    options.DoModal(bar.BarWindow());
    if (!options.Restarting())
        return false;
    // Asked only now: a pump running while this window was open would have restarted the
    // bar under its own start-up.
    bar.RequestRestart();
    return true;
}
