// What the page views and the add/edit box ask of the news window.
#include "news/DlgNews.h"
#include "news/DlgNewsInfo.h"
#include "news/NewsKeys.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "settings/Config.h"
#include <commctrl.h>

bool CDlgNews::TabsOpen() const {
    return IsWindow(Handle()) != FALSE;
}

void CDlgNews::NotePageChanged(int index) {
    updatedPage = index;
    updated = true;
}

void CDlgNews::AddPage(const std::string& name, const std::string& url, const std::string& notify,
                       int intervalMinutes) {
    CreatePage(name, url, notify, intervalMinutes, true);
}

void CDlgNews::PageEdited(int index, const std::string& url, int intervalMinutes) {
    if (CDlgNewsInfo* view = PageView(index)) {
        view->OpenUrl(url, true);
        view->SetCheckInterval(intervalMinutes);
    }
}

void CDlgNews::SetTabName(int index, const std::string& caption) {
    std::wstring text = Widen(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    TabCtrl_SetItem(tabs, index, &item);
    const std::string last = Config().Get(newskey::kPagesSection, newskey::kLastPage);
    if (last.empty())
        return;
    const auto shown = ParseInteger(last);
    if (CDlgNewsInfo* view = shown ? PageView(*shown) : nullptr)
        RedrawWindow(view->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}
