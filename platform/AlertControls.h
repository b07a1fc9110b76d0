#pragma once
// Control calls the alert windows need beyond platform/Controls.h. Win32 only.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

std::string ControlText(HWND control);
void SetControlText(HWND control, const std::string& text);
bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);
// Up and Down in the box press these buttons of its dialog (BN_CLICKED), as a click would.
void ArrowKeysPress(HWND box, int upButton, int downButton);
// Gives every child window, at any depth, the font.
void ApplyFontToChildren(HWND parent, HFONT font);
// The alert windows' face: a Chinese one for the Chinese texts, Verdana otherwise; the
// height in pixels at 96 dpi.
HFONT CreateDialogFont(bool chinese, int height);

class ComboBox {
public:
    explicit ComboBox(HWND box = nullptr) : box(box) {}
    void Add(const std::string& text);
    void InsertFirst(const std::string& text);
    void Clear();
    int Count() const;
    int Selected() const; // CB_ERR when none
    void Select(int index);
    bool SelectText(const std::string& text); // the item with exactly this text
    std::string ItemText(int index) const;
    void ShowList();

private:
    HWND box;
};

// Check boxes and the selection of a report or icon list view.
class CheckedList {
public:
    explicit CheckedList(HWND list = nullptr) : list(list) {}
    bool IsChecked(int item) const;
    void SetChecked(int item, bool checked);
    std::vector<int> CheckedItems() const;
    int SelectedItem() const; // -1 when none
    void Select(int item);

private:
    HWND list;
};
