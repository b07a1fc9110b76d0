#pragma once
// What a page view and the add/edit box ask of the news window that holds them, so that
// neither needs the window itself.
#include <string>

class NewsTabs {
public:
    // False once the window is gone: nothing is changed then.
    virtual bool TabsOpen() const = 0;
    virtual void SetTabName(int index, const std::string& caption) = 0;
    // A watched page's text changed; the price bar's tick tells the trader.
    virtual void NotePageChanged(int index) = 0;
    // A new record: written, given a tab and selected.
    virtual void AddPage(const std::string& name, const std::string& url, const std::string& notify,
                         int intervalMinutes) = 0;
    // Record `index` was edited: its view loads `url` and checks every `intervalMinutes`.
    virtual void PageEdited(int index, const std::string& url, int intervalMinutes) = 0;

protected:
    ~NewsTabs() = default;
};
