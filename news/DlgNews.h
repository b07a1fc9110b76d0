#pragma once
// The news window: the watched pages as tabs, one page view each. Made once, then only shown
// and hidden. Win32 code only.
#include "news/NewsTabs.h"
#include "platform/Dialog.h"
#include <memory>
#include <string>
#include <vector>

class CDlgNewsInfo;

inline constexpr UINT_PTR kNewsPropertiesTimer = 5001;

class CDlgNews final : public DialogOf<CDlgNews>, public NewsTabs {
public:
    CDlgNews();
    ~CDlgNews() override;

    static const MessageMap<CDlgNews> messages;

    // The one news window; nullptr until it has been made.
    static CDlgNews* Instance();

    // A tab and a view for one record; `store` writes a new record and selects it.
    void CreatePage(const std::string& name, const std::string& url, const std::string& notify,
                    int intervalMinutes, bool store);
    void LoadPages();
    void ShowPage(int index);
    // NewsTabs
    bool TabsOpen() const override;
    void SetTabName(int index, const std::string& caption) override;
    void NotePageChanged(int index) override;
    void AddPage(const std::string& name, const std::string& url, const std::string& notify,
                 int intervalMinutes) override;
    void PageEdited(int index, const std::string& url, int intervalMinutes) override;
    // The view of tab `index`, found through its record's "HWD" and checked to be one of ours.
    CDlgNewsInfo* PageView(int index) const;
    int PageCount() const;

    // Set by a view whose page changed; read and cleared by the price bar's tick.
    bool updated = false;
    int currentPage = -1;
    int updatedPage = -1;

private:
    void OnFinalMessage() override;

    MsgResult OnInitDialog(MsgWParam, MsgLParam);
    MsgResult OnSize(MsgWParam, MsgLParam);
    MsgResult OnMove(MsgWParam, MsgLParam);
    MsgResult OnTimer(MsgWParam, MsgLParam);
    MsgResult OnTabChanging(MsgWParam, MsgLParam);
    MsgResult OnTabChange(MsgWParam, MsgLParam);
    MsgResult OnTabClick(MsgWParam, MsgLParam);
    MsgResult OnAdd(MsgWParam, MsgLParam);
    MsgResult OnEdit(MsgWParam, MsgLParam);
    MsgResult OnRefresh(MsgWParam, MsgLParam);
    MsgResult OnRemove(MsgWParam, MsgLParam);
    MsgResult OnExit(MsgWParam, MsgLParam);
    MsgResult OnClose(MsgWParam, MsgLParam);

    void SetTexts();
    void RestoreGeometry();
    void LayOut(int width, int height);
    void FitPageViews();
    void RestoreTabCaption(int index);
    void EnableRemove();
    void CloseStrayProperties();
    void ReloadUnwatchedPages();

    HWND tabs = nullptr;
    bool ready = false;
    bool geometryRestored = false;
    std::vector<std::unique_ptr<CDlgNewsInfo>> views; // in tab order
};
