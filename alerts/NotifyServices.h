#pragma once
#include "alerts/Actions.h"
#include "alerts/AlertHold.h"
#include <functional>
#include <string>

// The actions' services on this system: the popup window, the message pump between voice
// clips and the screen size. The e-mail request goes to `sendEmail` (the main window's
// HTTP request object, request number 1); mail through the user's server and phone
// notices to the program's delivery workers. With `snooze`, the popup offers the snooze
// choices of the alert that fired.
NotifyServices PlatformNotifyServices(std::function<void(const std::string& url)> sendEmail,
                                      std::function<void(SnoozeChoice)> snooze = {});

// Handles the user-interface thread's pending messages, then returns.
void PumpPendingMessages();
