#pragma once
// A page view: one watched page inside a tab of the news window. It reloads the page on its
// interval, fetches the page's text to see whether it changed, and shows the page in the
// system web browser control where that renders, else as text. Win32 code only.
#include "news/ReloadTimer.h"
#include "platform/Dialog.h"
#include "quotes/Downloader.h"
#include <memory>
#include <string>

class NewsTabs;
class WebBrowser;

inline constexpr UINT_PTR kPageReloadTimer = 100;

class CDlgNewsInfo final : public DialogOf<CDlgNewsInfo> {
public:
    explicit CDlgNewsInfo(NewsTabs& news);
    ~CDlgNewsInfo() override;

    static const MessageMap<CDlgNewsInfo> messages;

    // An empty address reloads the current one; `refreshing` shows "(Refreshing...)" in the
    // page's tab. A new address empties the stored text.
    void OpenUrl(const std::string& address, bool refreshing);
    void LoadCheckInterval(int record);
    void SetCheckInterval(int minutes);

    int pageIndex = -1;
    const std::string& CurrentUrl() const { return currentUrl; }
    const std::string& StoredText() const { return storedText; }

private:
    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnSize(MsgWParam, MsgLParam);
    MsgResult OnTimer(MsgWParam, MsgLParam);
    MsgResult OnPageLoaded(MsgWParam, MsgLParam);
    MsgResult OnCtlColor(MsgWParam, MsgLParam);
    MsgResult OnDestroy(MsgWParam, MsgLParam);

    void Fetch(const std::string& address);
    void ShowText(const std::string& text);
    // The tab shows the record's name again, without the refreshing mark.
    void ShowName();
    void OnDocumentComplete();

    NewsTabs& news;
    std::string currentUrl;
    std::unique_ptr<WebBrowser> browser;
    std::string computerName;
    ReloadTimer reload;
    std::string storedText;
    std::shared_ptr<SharedText> pageText;
    std::unique_ptr<CDownloader> downloader;
    unsigned fetchNumber = 0; // of the address last opened
    std::string pendingFetch; // asked for while a fetch ran
    bool loaded = false;      // the page has been shown once
    bool browserRendered = false;
};
