// The price bar's way into the news window and the page update popup.
#include "news/DlgNews.h"
#include "news/DlgNewsNotify.h"
#include "news/NewsKeys.h"
#include "news/NewsWindows.h"
#include "news/PageRecords.h"
#include "settings/Config.h"

namespace {
// Set at the program's end: a page update popup still open then opens no news window.
bool& NewsWindowsEnded() {
    static bool ended = false;
    return ended;
}

// Made the first time and kept for the run; `show` false hides it.
void ShowNewsWindow(bool show) {
    CDlgNews* news = CDlgNews::Instance();
    if (!news) {
        news = new CDlgNews();
        if (!news->Create(nullptr)) {
            delete news;
            return;
        }
    } else if (news->updatedPage >= 0) {
        news->ShowPage(news->updatedPage);
    }
    if (!show) {
        ShowWindow(news->Handle(), SW_HIDE);
        return;
    }
    ShowWindow(news->Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(news->Handle());
}

void ShowPageUpdate(int page) {
    const std::string section = PageSection(page);
    if (Config().Get(section, newskey::kNotify) != kWatchedText)
        return;
    if (IsWindow(CDlgNewsNotify::BarPopup()))
        return;
    CDlgNewsNotify* popup = CDlgNewsNotify::Open(Config().Get(section, newskey::kName));
    if (!popup)
        return;
    CDlgNewsNotify::SetBarPopup(popup->Handle());
    ShowWindow(popup->Handle(), SW_SHOWNOACTIVATE);
}
} // namespace

void OpenNewsWindow() {
    if (!NewsWindowsEnded())
        ShowNewsWindow(true);
}

void ToggleNewsWindow() {
    if (CDlgNews* news = CDlgNews::Instance())
        ShowNewsWindow(!news->IsVisible());
}

// A change seen while the window is in sight waits until it is hidden; selecting a page in
// between takes it back.
void ShowPendingPageUpdate() {
    CDlgNews* news = CDlgNews::Instance();
    if (!news || news->IsVisible() || news->updatedPage < 0 || !news->updated)
        return;
    ShowPageUpdate(news->updatedPage);
    news->updated = false;
}

void DestroyNewsWindows() {
    NewsWindowsEnded() = true;
    if (CDlgNews* news = CDlgNews::Instance())
        DestroyWindow(news->Handle()); // its views go with it; the object deletes itself
}
