#pragma once
// The news window as the price bar reaches it (news/DlgNewsAccess.cpp), used only while the
// news feature is switched on.
void ToggleNewsWindow();      // shows or hides it, once it exists
void OpenNewsWindow();        // makes it the first time; shows the changed page first
void ShowPendingPageUpdate(); // the page update popup, when a page changed
void DestroyNewsWindows();    // at the program's end
