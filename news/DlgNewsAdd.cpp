#include "news/DlgNewsAdd.h"
#include "news/DlgNewsNotify.h"
#include "news/NewsTabs.h"
#include "news/PageAddress.h"
#include "news/PageRecords.h"
#include "platform/AlertControls.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/Config.h"
#include "settings/TextIds.h"
#include <algorithm>
#include <utility>
#include "settings/LangTable.h"

namespace {
constexpr int kIntervalMaxChars = 3;
constexpr int kRowGap = 6; // pixels between the interval row's label, edit and unit

// The width the control needs for its own text in its own font.
int TextWidth(HWND control) {
    const std::wstring text = Widen(ControlText(control));
    HDC dc = GetDC(control);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}
} // namespace

const MessageMap<CDlgNewsAdd> CDlgNewsAdd::messages = {
    onMessage(WM_INITDIALOG, &CDlgNewsAdd::OnInitDialog, "OnInitDialog"),
    onCommand(IDOK, &CDlgNewsAdd::OnOk, "OnOK"),
    onCommand(IDCANCEL, &CDlgNewsAdd::OnCancel, "OnCancel"),
    onCommand(IDC_NEWS_OK, BN_CLICKED, &CDlgNewsAdd::OnOk, "OnOk"),
    onCommand(IDC_NEWS_CANCEL, BN_CLICKED, &CDlgNewsAdd::OnCancel, "OnCancel"),
    onCommand(IDC_NEWS_TEST, BN_CLICKED, &CDlgNewsAdd::OnTest, "OnTest"),
    onCommand(IDC_NEWS_WATCH, BN_CLICKED, &CDlgNewsAdd::OnWatch, "OnCheckNotify"),
};

CDlgNewsAdd::CDlgNewsAdd(HWND newsWindow, NewsTabs& tabs, int record)
    : DialogOf(IDD_NEWS_ADD), newsWindow(newsWindow), tabs(tabs), record(record) {}

MsgResult CDlgNewsAdd::OnInitDialog(MsgWParam, MsgLParam) {
    SetTexts();
    SendMessageW(Item(IDC_NEWS_INTERVAL), EM_LIMITTEXT, kIntervalMaxChars, 0);
    SetControlText(Item(IDC_NEWS_INTERVAL), std::to_string(kDefaultIntervalMinutes));
    SetChecked(Item(IDC_NEWS_WATCH), false);
    if (Editing())
        FillFromRecord();
    LayOutIntervalRow();
    EnableWatchControls();
    return TRUE;
}

void CDlgNewsAdd::SetTexts() {
    SetWindowTextW(Handle(), Widen(GetText(Editing() ? kTextNewsEdit : kTextNewsAdd)).c_str());
    const std::pair<int, std::string> texts[] = {
        {IDC_NEWS_OK, GetText(kTextOptOk)},
        {IDC_NEWS_CANCEL, GetText(kTextOptCancel)},
        {IDC_NEWS_NAME_LABEL, GetText(kTextNewsName) + ":"},
        {IDC_NEWS_URL_LABEL, GetText(kTextNewsUrl) + ":"},
        {IDC_NEWS_WATCH, GetText(kTextNotifyUpdated)},
        {IDC_NEWS_EVERY_LABEL, GetText(kTextCheckEvery)},
        {IDC_NEWS_MINUTES_LABEL, GetText(kTextMinutes)},
        {IDC_NEWS_TEST, GetText(kTextTest)},
    };
    for (const auto& [id, text] : texts)
        SetControlText(Item(id), text);
}

void CDlgNewsAdd::FillFromRecord() {
    const PageRecord page = ReadPageRecord(Config(), record);
    SetControlText(Item(IDC_NEWS_NAME), page.name);
    SetControlText(Item(IDC_NEWS_URL), page.url);
    SetChecked(Item(IDC_NEWS_WATCH), page.notify == kWatchedText);
    SetControlText(Item(IDC_NEWS_INTERVAL), IntervalEditText(page.interval));
}

// The label's length differs between the languages: the edit and the unit follow it, and
// the unit stops short of the Test button.
void CDlgNewsAdd::LayOutIntervalRow() {
    HWND label = Item(IDC_NEWS_EVERY_LABEL);
    HWND edit = Item(IDC_NEWS_INTERVAL);
    HWND unit = Item(IDC_NEWS_MINUTES_LABEL);
    const RECT labelPlace = PlaceInParent(label);
    const RECT editPlace = PlaceInParent(edit);
    const RECT unitPlace = PlaceInParent(unit);
    const RECT testPlace = PlaceInParent(Item(IDC_NEWS_TEST));
    const int labelWidth = TextWidth(label);
    const int editLeft = labelPlace.left + labelWidth + kRowGap;
    const int editWidth = editPlace.right - editPlace.left;
    const int unitLeft = editLeft + editWidth + kRowGap;
    const int unitRoom = static_cast<int>(testPlace.left) - kRowGap - unitLeft;
    const int unitWidth = std::max(0, std::min(TextWidth(unit) + kRowGap, unitRoom));
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(label, nullptr, labelPlace.left, labelPlace.top, labelWidth + kRowGap,
                 labelPlace.bottom - labelPlace.top, flags);
    SetWindowPos(edit, nullptr, editLeft, editPlace.top, 0, 0, flags | SWP_NOSIZE);
    SetWindowPos(unit, nullptr, unitLeft, unitPlace.top, unitWidth,
                 unitPlace.bottom - unitPlace.top, flags);
}

void CDlgNewsAdd::EnableWatchControls() {
    const BOOL on = IsChecked(Item(IDC_NEWS_WATCH)) ? TRUE : FALSE;
    for (int id : {IDC_NEWS_EVERY_LABEL, IDC_NEWS_MINUTES_LABEL, IDC_NEWS_INTERVAL, IDC_NEWS_TEST})
        EnableWindow(Item(id), on);
}

void CDlgNewsAdd::Tell(const std::string& text) {
    MessageBoxW(Handle(), Widen(text).c_str(), Widen(GetMessage(kMsgProgramTitle)).c_str(), MB_OK);
}

MsgResult CDlgNewsAdd::OnOk(MsgWParam, MsgLParam) {
    const std::string name = ControlText(Item(IDC_NEWS_NAME));
    const std::string url = ControlText(Item(IDC_NEWS_URL));
    if (name.empty() || url.empty()) {
        Tell(GetText(kTextEnterNameAndUrl));
        return 0;
    }
    // A page view loads what it is given: nothing but a web page may reach it.
    if (!IsWebPageAddress(url)) {
        Tell(GetMessage(kMsgNotWebPage));
        SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_NEWS_URL)), TRUE);
        return 0;
    }
    const PageWatchChoice watch =
        WatchChoice(IsChecked(Item(IDC_NEWS_WATCH)), ControlText(Item(IDC_NEWS_INTERVAL)));
    Store({name, url, watch.notify, std::to_string(watch.intervalMinutes)}, watch.intervalMinutes);
    End(IDOK);
    return 0;
}

void CDlgNewsAdd::Store(const PageRecord& page, int intervalMinutes) {
    if (!tabs.TabsOpen())
        return;
    if (!Editing()) {
        tabs.AddPage(page.name, page.url, page.notify, intervalMinutes);
        return;
    }
    WritePageRecord(Config(), record, page, intervalMinutes);
    tabs.PageEdited(record, page.url, intervalMinutes);
}

MsgResult CDlgNewsAdd::OnCancel(MsgWParam, MsgLParam) {
    End(IDCANCEL);
    return 0;
}

MsgResult CDlgNewsAdd::OnTest(MsgWParam, MsgLParam) {
    const std::string name = ControlText(Item(IDC_NEWS_NAME));
    if (name.empty()) {
        Tell(GetText(kTextEnterNameAndUrl));
        return 0;
    }
    CDlgNewsNotify* popup = CDlgNewsNotify::Open(name);
    if (!popup)
        return 0;
    SetWindowPos(popup->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(popup->Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(popup->Handle());
    return 0;
}

MsgResult CDlgNewsAdd::OnWatch(MsgWParam, MsgLParam) {
    EnableWatchControls();
    return 0;
}
