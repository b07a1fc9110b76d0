#pragma once
// The program's own window messages, numbered once. The downloads' completions are in
// quotes/FXData.h: kHttpReqDoneMessage (WM_USER+1), kQuotePage1DoneMessage (WM_USER+101),
// kQuotePage2DoneMessage (WM_USER+201).
#include "quotes/FXData.h"

// The tray icon's notifications to the price bar.
inline constexpr unsigned kTrayCallbackMessage = 0x83E8;
// Asks the bar to restart once the sender's own work is over (the data-source page posts it
// from inside the modal options window).
inline constexpr unsigned kRestartRequestMessage = 0x8001; // WM_APP + 1
// A watched page's download: its progress and its end, to the page's view.
inline constexpr unsigned kPageProgressMessage = 0x800A; // WM_APP + 10
inline constexpr unsigned kPageLoadedMessage = 0x800B;   // WM_APP + 11, wParam the fetch number
// A mail or phone notice has ended: the window takes the outcomes waiting for it.
inline constexpr unsigned kDeliveryDoneMessage = 0x800C; // WM_APP + 12
// A test button's send has ended.
inline constexpr unsigned kTestSendDoneMessage = 0x800D; // WM_APP + 13
