#pragma once
#include "quotes/Downloader.h"

// Messages of the downloaders, posted to the window that started them.
inline constexpr unsigned kHttpReqDoneMessage = 0x401; // WM_USER + 1, wParam the request number
inline constexpr unsigned kHttpReqProgressMessage = 0x403;
inline constexpr unsigned kQuotePage1DoneMessage = 0x465; // WM_USER + 101
inline constexpr unsigned kQuotePage1ProgressMessage = 0x467;
inline constexpr unsigned kQuotePage2DoneMessage = 0x4C9; // WM_USER + 201
inline constexpr unsigned kQuotePage2ProgressMessage = 0x4CB;

// The last completed text of quote page 1 or 2, process-wide.
std::shared_ptr<SharedText> QuotePageText(int page);

// Reader of quote page 1.
class CFXData1 final : public CDownloader {
public:
    CFXData1();
    bool Download(WindowHandle window, const std::string& address, const std::string& localFile,
                  bool overwrite, bool wait) {
        return Start(window, address, localFile, overwrite, wait, 0);
    }
};

// Reader of quote page 2.
class CFXData2 final : public CDownloader {
public:
    CFXData2();
    bool Download(WindowHandle window, const std::string& address, const std::string& localFile,
                  bool overwrite, bool wait) {
        return Start(window, address, localFile, overwrite, wait, 0);
    }
};

// Any other GET of the program; the completion carries the request number in wParam.
class CHttpReq final : public CDownloader {
public:
    CHttpReq();
    bool Request(WindowHandle window, const std::string& address, const std::string& localFile,
                 bool overwrite, bool wait, int requestNumber) {
        return Start(window, address, localFile, overwrite, wait,
                     static_cast<std::uintptr_t>(requestNumber));
    }
    // The answer of the last completed request, process-wide.
    static std::string ResponseText();
};
