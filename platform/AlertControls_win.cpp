#include "platform/AlertControls.h"
#include "platform/Dpi_win.h"
#include "platform/Font_win.h"
#include "platform/Text.h"

std::string ControlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return Narrow(text);
}

void SetControlText(HWND control, const std::string& text) {
    SetWindowTextW(control, Widen(text).c_str());
}

bool IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool checked) {
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

namespace {
BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}
} // namespace

// Scaled like the dialog's layout, which grows with the screen's resolution.
HFONT CreateDialogFont(bool chinese, int height) {
    return MakeFont(chinese ? L"宋体" : L"Verdana", ScaleForDpi(height), FW_NORMAL, DEFAULT_QUALITY,
                    FF_DONTCARE);
}

void ApplyFontToChildren(HWND parent, HFONT font) {
    // EnumChildWindows already walks the children's children.
    EnumChildWindows(parent, &SetChildFont, reinterpret_cast<LPARAM>(font));
}

void ComboBox::Add(const std::string& text) {
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void ComboBox::InsertFirst(const std::string& text) {
    SendMessageW(box, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void ComboBox::Clear() {
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
}

int ComboBox::Count() const {
    return static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
}

int ComboBox::Selected() const {
    return static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0));
}

void ComboBox::Select(int index) {
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool ComboBox::SelectText(const std::string& text) {
    const LRESULT found = SendMessageW(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(Widen(text).c_str()));
    if (found == CB_ERR)
        return false;
    Select(static_cast<int>(found));
    return true;
}

std::string ComboBox::ItemText(int index) const {
    const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return "";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Narrow(text);
}

void ComboBox::ShowList() {
    SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
}

bool CheckedList::IsChecked(int item) const {
    return ListView_GetCheckState(list, item) != 0;
}

void CheckedList::SetChecked(int item, bool checked) {
    ListView_SetCheckState(list, item, checked ? TRUE : FALSE);
}

std::vector<int> CheckedList::CheckedItems() const {
    std::vector<int> items;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item)
        if (IsChecked(item))
            items.push_back(item);
    return items;
}

int CheckedList::SelectedItem() const {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CheckedList::Select(int item) {
    ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

namespace {
constexpr UINT_PTR kArrowKeysSubclass = 1;

// The two button ids travel in the subclass's data: LOWORD up, HIWORD down.
LRESULT CALLBACK ArrowKeysProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR buttons) {
    if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        const int id = wParam == VK_UP ? LOWORD(buttons) : HIWORD(buttons);
        HWND dialog = GetParent(box);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(box, &ArrowKeysProc, kArrowKeysSubclass);
    return DefSubclassProc(box, message, wParam, lParam);
}
} // namespace

void ArrowKeysPress(HWND box, int upButton, int downButton) {
    SetWindowSubclass(box, &ArrowKeysProc, kArrowKeysSubclass,
                      static_cast<DWORD_PTR>(MAKELONG(upButton, downButton)));
}
