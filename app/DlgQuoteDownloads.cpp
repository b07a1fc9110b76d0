// The price bar: the Internet downloads' completions, the quote pages' and the e-mail
// requests'.
#include "app/DlgQuote.h"
#include "platform/Params.h"

namespace {
constexpr UINT kInternetTickMs = 4000;
} // namespace

MsgResult CDlgQuote::OnQuotePage1Done(MsgWParam, MsgLParam lParam) {
    internetQuotes.OnPageDone(internetWindow, 1, DownloadStatus(lParam));
    return 0;
}

MsgResult CDlgQuote::OnQuotePage2Done(MsgWParam, MsgLParam lParam) {
    internetQuotes.OnPageDone(internetWindow, 2, DownloadStatus(lParam));
    return 0;
}

void CDlgQuote::InternetWindow::BuildColumnsFromPages() {
    bar.columnsReady = true;
    bar.BuildColumns(true);
}

void CDlgQuote::InternetWindow::StopMainTimer() {
    bar.StopTimer(kMainTickTimer);
}

void CDlgQuote::InternetWindow::StartMainTimer() {
    bar.StartTimer(kMainTickTimer, kInternetTickMs);
}

MsgResult CDlgQuote::OnHttpDone(MsgWParam wParam, MsgLParam lParam) {
    emailRequests.OnDone(DownloadRequest(wParam), DownloadStatus(lParam));
    return 0;
}
