#include "app/DlgQuote.h"
#include "app/RunningInstance_win.h"
#include "app/TickmonApp.h"
#include "common/StartupRules.h"
#include "controls/Skin.h"
#include "feed/ProgramHistory.h"
#include "platform/Text.h"
#include "settings/AppConfig.h"
#include <commctrl.h>
#include <ole2.h>

int CTickmonApp::Run() {
    // A running instance shows itself on its next tick when it finds the atom.
    if (FindRunningInstance()) {
        GlobalAddAtomW(Widen(kShowRequestAtom).c_str());
        return 0;
    }
    // Hosting of ActiveX controls: the news windows embed the web browser control.
    const bool oleReady = SUCCEEDED(OleInitialize(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_TAB_CLASSES | ICC_HOTKEY_CLASS |
                                                       ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    LoadSkin(AppConfig().programFolder);
    {
        CDlgQuote priceBar;
        priceBar.DoModal(nullptr);
    }
    ProgramHistory().Flush(); // lines a locked history file refused are not lost at exit
    ReleaseSkin();
    if (oleReady)
        OleUninitialize();
    return 0;
}
