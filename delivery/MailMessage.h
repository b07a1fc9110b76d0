#pragma once
// The alert as an Internet mail message (headers, a base64 text body) and its form on the
// wire after DATA.
#include "delivery/Delivery.h"
#include "platform/Clock.h"
#include <string>

// "EURUSD 1.30012 Price>1.3000": what a trader reads in the inbox list.
std::string MailSubject(const AlertNotice& notice);
// The body text with CRLF line ends: the message, symbol, price, condition, time, our name.
std::string MailBodyText(const AlertNotice& notice);

// The whole message with CRLF line ends. `dateText` and `messageId` come from the caller
// (the id with or without its angle brackets), so the result is fixed for fixed input.
std::string ComposeMail(const std::string& from, const std::string& to, const AlertNotice& notice,
                        const std::string& dateText, const std::string& messageId);

// One header field with its CRLF, folded at blanks only. In free text (Subject) text beyond
// printable ASCII, text that would read as an encoded word or a word too long for any line
// goes as RFC 2047 encoded words; every other header (addresses, Message-ID, Date) goes as
// it is. Line breaks and other control characters in `value` become blanks, so a value can
// never start a header of its own.
std::string HeaderField(const std::string& name, const std::string& value);

// A plain mailbox address "user@domain": printable ASCII, no blank, no angle brackets, one "@"
// with text on both sides. Anything else could break the SMTP command it goes into.
bool IsValidMailAddress(const std::string& address);

// What follows the DATA command: every line end CRLF, a line starting with "." gets
// another, and the closing "." line.
std::string DataSection(const std::string& message);

// "Tue, 05 Mar 2024 14:07:09 +0800" for a local time `utcOffsetMinutes` east of UTC.
std::string MailDateText(const LocalTime& time, int utcOffsetMinutes);
