#include "delivery/MailChannel.h"

// The native build runs the dialogue against fakes only.
std::unique_ptr<MailChannel> OpenMailChannel(const std::string&, int, bool, const MailTimeouts&,
                                             std::string& error, bool& transient) {
    error = "mail is sent only on Windows";
    transient = false;
    return nullptr;
}
