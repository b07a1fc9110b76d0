// The price bar's way into the floating windows.
#include "floats/DlgFloat.h"
#include "floats/FloatWindows.h"
#include "platform/Text.h"
#include <algorithm>

void OpenFloatWindow(PriceBarDoor& bar, const std::string& name) {
    const std::string symbol = ToUpperAscii(TrimBlanks(name));
    if (symbol.empty())
        return;
    if (CDlgFloat* open = CDlgFloat::Find(symbol)) {
        BringWindowToTop(open->Handle());
        return;
    }
    auto* window = new CDlgFloat(bar, symbol);
    if (!window->Create(bar.BarWindow())) {
        // A window that came and went has deleted its object already.
        if (CDlgFloat::Exists(window))
            delete window;
        return;
    }
    ShowWindow(window->Handle(), SW_SHOW);
}

void BringBackFloatWindows() {
    for (CDlgFloat* window : CDlgFloat::OpenWindows())
        window->BringBack();
}

bool AnyFloatWindowShown() {
    const std::vector<CDlgFloat*> open = CDlgFloat::OpenWindows();
    return std::any_of(open.begin(), open.end(), [](const CDlgFloat* window) {
        return window->IsVisible() && !window->EdgeHidden();
    });
}
