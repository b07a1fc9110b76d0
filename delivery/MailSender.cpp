#include "delivery/MailSender.h"
#include "delivery/MailChannel.h"
#include "delivery/MailMessage.h"
#include "delivery/SmtpDialogue.h"
#include "platform/Clock.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <optional>
#include <random>

namespace {
constexpr int kLowestPort = 1;
constexpr int kHighestPort = 65535;

// The system's offset from UTC now, in minutes east; the C library's calls share a buffer.
int LocalUtcOffsetMinutes() {
    static std::mutex guard;
    const std::lock_guard<std::mutex> lock(guard);
    const std::time_t now = std::time(nullptr);
    const std::tm* localPart = std::localtime(&now);
    if (!localPart)
        return 0;
    const std::tm local = *localPart;
    const std::tm* utcPart = std::gmtime(&now);
    if (!utcPart)
        return 0;
    const std::tm utc = *utcPart;
    int dayShift = 0;
    if (local.tm_year != utc.tm_year)
        dayShift = local.tm_year > utc.tm_year ? 1 : -1;
    else if (local.tm_yday != utc.tm_yday)
        dayShift = local.tm_yday > utc.tm_yday ? 1 : -1;
    return dayShift * 24 * 60 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
}

// Unique across sends and program runs: the time, a counter and random bits, at the
// sender's own domain.
std::string NewMessageId(const std::string& from) {
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    const unsigned long long random = (static_cast<unsigned long long>(device()) << 32) ^ device();
    const auto stamp = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    char local[80];
    std::snprintf(local, sizeof local, "%llx.%x.%016llx", static_cast<unsigned long long>(stamp),
                  counter.fetch_add(1), random);
    const std::size_t at = from.rfind('@');
    return std::string(local) + "@" + (at == std::string::npos ? "localhost" : from.substr(at + 1));
}

// The name EHLO gives; the dialogue keeps only the characters a host name may hold.
std::string HeloName() {
    return EnvironmentValue("COMPUTERNAME");
}

std::optional<std::string> SettingsProblem(const SmtpSettings& settings) {
    if (settings.server.empty())
        return "the mail server is not set";
    for (unsigned char c : settings.server)
        if (c <= ' ' || c == 0x7F)
            return "the mail server's name is not valid";
    if (settings.port < kLowestPort || settings.port > kHighestPort)
        return "the mail server's port must be 1 to 65535";
    if (settings.from.empty())
        return "the sender address is not set";
    if (!IsValidMailAddress(settings.from))
        return "the sender address is not valid";
    if (settings.to.empty())
        return "the recipient address is not set";
    if (!IsValidMailAddress(settings.to))
        return "the recipient address is not valid";
    return std::nullopt;
}
} // namespace

SendResult SendMailNow(const SmtpSettings& given, const AlertNotice& notice) {
    SmtpSettings settings = given;
    settings.server = TrimBlanks(settings.server);
    settings.from = TrimBlanks(settings.from);
    settings.to = TrimBlanks(settings.to);
    if (const auto problem = SettingsProblem(settings))
        return SendResult{false, false, *problem};

    const std::string message = ComposeMail(
        settings.from, settings.to, notice,
        MailDateText(CurrentClock().Now(), LocalUtcOffsetMinutes()), NewMessageId(settings.from));
    std::string error;
    bool transient = false;
    const std::unique_ptr<MailChannel> channel = OpenMailChannel(
        settings.server, settings.port, settings.security == MailSecurity::TlsOnConnect,
        MailTimeouts{}, error, transient);
    if (!channel)
        return SendResult{false, transient, error.empty() ? "cannot reach the mail server" : error};
    return RunSmtpDialogue(*channel, settings, message, HeloName());
}
