// The about box of a program installed in a deep folder: the folder link stays inside the
// box, and pointing at it shows the whole address as a tip.
#include "resources/resource.h"
#include "tests/e2e/AlertWindowsHarness.h"

using namespace e2e;

namespace {
const std::string kDeepFolder =
    "Programs for the trading desk\\Price watching tools of the second office\\file";

HWND AboutBoxOf(DWORD processId) {
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId}))
        if (GetDlgItem(window, IDC_ABOUT_FOLDER))
            return window;
    return nullptr;
}

bool TipShown(DWORD processId) {
    for (HWND tip : TopLevelWindows({"tooltips_class32", std::nullopt, processId}))
        if (IsWindowVisible(tip))
            return true;
    return false;
}
} // namespace

TEST_F(AlertWindowsTest, TheFolderLinkFitsTheAboutBoxAndShowsItsAddressAsATip) {
    install.Place({MainProgram().built, kDeepFolder + "\\Pipwarden.exe"});
    install.WriteFile(kDeepFolder + "\\pipward.cfg", "[MAIN]\r\nDisplayCurrency=,EURUSD,\r\n");
    const std::string path = install.Path(kDeepFolder + "\\Pipwarden.exe");
    program = Process::Start(path, "\"" + path + "\"");
    ASSERT_TRUE(program);
    bar = WaitForBar(program.Id());
    ASSERT_TRUE(bar);
    HWND list = OpenList();
    ASSERT_TRUE(list);
    Click(list, IDC_CONTACT);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = AboutBoxOf(program.Id())) != nullptr; }, 5s));
    HWND link = GetDlgItem(about, IDC_ABOUT_FOLDER);
    EXPECT_EQ(WindowText(link), install.Path(kDeepFolder));
    RECT box{}, place{};
    GetClientRect(about, &box);
    GetWindowRect(link, &place);
    MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_LE(place.right, box.right) << "the folder runs out of the box";

    SetForegroundWindow(about);
    const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    POINT onScreen = middle;
    ClientToScreen(about, &onScreen);
    SetCursorPos(onScreen.x, onScreen.y);
    PostMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(middle.x - place.left, middle.y - place.top));
    EXPECT_TRUE(WaitUntil([&] { return TipShown(program.Id()); }, 5s)) << "no tip";
    SetCursorPos(0, 0);
    Click(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5s));
}
