#pragma once
// Sends one notice through the user's own mail server.
#include "delivery/Delivery.h"

// Blocks for the whole dialogue, so run it on a worker.
SendResult SendMailNow(const SmtpSettings& settings, const AlertNotice& notice);
