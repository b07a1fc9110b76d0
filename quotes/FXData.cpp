#include "quotes/FXData.h"

namespace {
// Held by shared pointers: a worker still running at exit keeps its buffer alive.
const std::shared_ptr<SharedText>& PageBuffer(int page) {
    static const std::shared_ptr<SharedText> first = std::make_shared<SharedText>();
    static const std::shared_ptr<SharedText> second = std::make_shared<SharedText>();
    return page == 2 ? second : first;
}

const std::shared_ptr<SharedText>& ResponseBuffer() {
    static const std::shared_ptr<SharedText> response = std::make_shared<SharedText>();
    return response;
}
} // namespace

std::shared_ptr<SharedText> QuotePageText(int page) {
    return PageBuffer(page);
}

CFXData1::CFXData1()
    : CDownloader({kQuotePage1ProgressMessage, kQuotePage1DoneMessage}, PageBuffer(1)) {}

CFXData2::CFXData2()
    : CDownloader({kQuotePage2ProgressMessage, kQuotePage2DoneMessage}, PageBuffer(2)) {}

CHttpReq::CHttpReq()
    : CDownloader({kHttpReqProgressMessage, kHttpReqDoneMessage}, ResponseBuffer()) {}

std::string CHttpReq::ResponseText() {
    return *ResponseBuffer()->Get();
}
