#include "controls/DlgAbout.h"
#include "platform/AlertControls.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/TextIds.h"
#include "settings/LangTable.h"

namespace {

struct AboutTexts {
    const char *version, *folder, *homePage;
};
// The few words of this box that the language table does not hold.
AboutTexts TextsFor(int language) {
    if (language == kLangChinese)
        return {"版本", "设置和警报文件所在的文件夹:", "主页:"};
    return {"Version", "Folder of the settings and alerts files:", "Home page:"};
}

// The folder without its trailing separator, as a user would type it.
std::string FolderText(std::string folder) {
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}
} // namespace

const MessageMap<CDlgAbout> CDlgAbout::messages = {
    onMessage(WM_INITDIALOG, &CDlgAbout::OnInitDialog, "OnInitDialog"),
    onCommand(IDOK, &CDlgAbout::OnOk, "OnOK"),
    onCommand(IDCANCEL, &CDlgAbout::OnOk, "OnCancel"),
};

CDlgAbout::CDlgAbout() : DialogOf(IDD_ABOUT) {}

MsgResult CDlgAbout::OnInitDialog(MsgWParam, MsgLParam) {
    const AboutTexts texts = TextsFor(AppConfig().languageIndex);
    const std::string title = GetMessage(kMsgProgramTitle);
    SetControlText(Handle(), title);
    SetControlText(Item(IDC_ABOUT_TITLE), title);
    SetControlText(Item(IDC_ABOUT_VERSION),
                   std::string(texts.version) + " " + AppConfig().versionText);
    SetControlText(Item(IDC_ABOUT_FOLDER_LABEL), texts.folder);
    const std::string folder = FolderText(AppConfig().programFolder);
    SetControlText(Item(IDC_ABOUT_FOLDER), folder);
    folderLink.Attach(Item(IDC_ABOUT_FOLDER), folder);
    const std::string homePage = PIPWARDEN_HOMEPAGE;
    if (homePage.empty()) {
        ShowWindow(Item(IDC_ABOUT_HOMEPAGE_LABEL), SW_HIDE);
        ShowWindow(Item(IDC_ABOUT_HOMEPAGE), SW_HIDE);
    } else {
        SetControlText(Item(IDC_ABOUT_HOMEPAGE_LABEL), texts.homePage);
        SetControlText(Item(IDC_ABOUT_HOMEPAGE), homePage);
        homeLink.Attach(Item(IDC_ABOUT_HOMEPAGE), homePage);
    }
    return TRUE;
}

MsgResult CDlgAbout::OnOk(MsgWParam, MsgLParam) {
    End(IDOK);
    return 0;
}
