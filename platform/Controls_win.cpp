#include "platform/Controls.h"
#include "platform/Text.h"
#include <commctrl.h>
#include <vector>

namespace {
constexpr int kTextChars = 260;
}

void ListView::SetExtendedStyle(DWORD style) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

int ListView::ColumnCount() const {
    HWND header = ListView_GetHeader(list);
    return header ? Header_GetItemCount(header) : 0;
}

void ListView::InsertColumn(int index, const std::string& title, int width, int format) {
    std::wstring text = Widen(title);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void ListView::DeleteAllColumns() {
    for (int count = ColumnCount(); count > 0; --count)
        SendMessageW(list, LVM_DELETECOLUMN, 0, 0);
}

void ListView::DeleteColumn(int index) {
    SendMessageW(list, LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0);
}

int ListView::ColumnWidth(int index) const {
    return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
}

std::string ListView::ColumnTitle(int index) const {
    std::vector<wchar_t> buffer(kTextChars, L'\0');
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = buffer.data();
    column.cchTextMax = kTextChars;
    if (!SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&column)))
        return "";
    return Narrow(buffer.data());
}

int ListView::ItemCount() const {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

void ListView::DeleteAllItems() {
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

void ListView::InsertItem(int index, const std::string& text) {
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = wide.data();
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ListView::SetItemText(int item, int subItem, const std::string& text) {
    std::wstring wide = Widen(text);
    LVITEMW request{};
    request.iSubItem = subItem;
    request.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&request));
}

std::string ListView::ItemText(int item, int subItem) const {
    std::vector<wchar_t> buffer(kTextChars, L'\0');
    LVITEMW request{};
    request.iSubItem = subItem;
    request.pszText = buffer.data();
    request.cchTextMax = kTextChars;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&request));
    return Narrow(buffer.data());
}

void ListView::RedrawAll() {
    const int count = ItemCount();
    if (count > 0)
        SendMessageW(list, LVM_REDRAWITEMS, 0, count - 1);
}

int ListView::ColumnAt(POINT clientPoint) const {
    LVHITTESTINFO hit{};
    hit.pt = clientPoint;
    if (SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 ||
        hit.iSubItem >= 0) {
        if (hit.flags & LVHT_ONITEM)
            return hit.iSubItem;
    }
    // Beside the row: the header column above the point.
    int left = 0;
    for (int column = 0; column < ColumnCount(); ++column) {
        const int width = ColumnWidth(column);
        if (clientPoint.x >= left && clientPoint.x < left + width)
            return column;
        left += width;
    }
    return -1;
}
