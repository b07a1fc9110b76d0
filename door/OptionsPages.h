#pragma once
// Pages of the options window, in tab order: what a window names when it asks the bar for
// the options on a page.
enum OptionsPage {
    kGeneralPage,
    kHotKeyPage,
    kSourcePage,
    kEmailPage,
    kPhonePage,
    kOptionsPageCount
};
