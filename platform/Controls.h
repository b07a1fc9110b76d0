#pragma once
// Thin wrappers of the common controls, with only the calls the windows use. Win32 only.
#include <windows.h>
#include <commctrl.h>
#include <string>

class ListView {
public:
    ListView() = default;
    explicit ListView(HWND list) : list(list) {}
    void Attach(HWND window) { list = window; }
    HWND Handle() const { return list; }

    void SetExtendedStyle(DWORD style);
    int ColumnCount() const;
    void InsertColumn(int index, const std::string& title, int width, int format = LVCFMT_CENTER);
    void DeleteAllColumns();
    void DeleteColumn(int index);
    int ColumnWidth(int index) const;
    std::string ColumnTitle(int index) const;

    int ItemCount() const;
    void DeleteAllItems();
    void InsertItem(int index, const std::string& text);
    void SetItemText(int item, int subItem, const std::string& text);
    std::string ItemText(int item, int subItem) const;
    void RedrawAll();
    // The column under a point in client coordinates; -1 when none.
    int ColumnAt(POINT clientPoint) const;

private:
    HWND list = nullptr;
};

class PictureButton {
public:
    static void Show(HWND control, bool visible) {
        ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
    }
};
