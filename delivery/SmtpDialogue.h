#pragma once
// The SMTP conversation of one message over an open connection.
#include "delivery/Delivery.h"
#include "delivery/MailChannel.h"
#include <string>

// Greeting, EHLO, STARTTLS and EHLO again when asked for, a login when a user name is set
// (AUTH PLAIN when offered, else AUTH LOGIN), MAIL FROM, RCPT TO, DATA with `message`
// dot-stuffed, QUIT. A password goes only over an encrypted or loopback connection. 4xx
// replies and a lost connection are transient, 5xx and refusals final; `detail` is the
// server's last reply line or the reason, never the password in any form.
SendResult RunSmtpDialogue(MailChannel& channel, const SmtpSettings& settings,
                           const std::string& message, const std::string& heloName);
