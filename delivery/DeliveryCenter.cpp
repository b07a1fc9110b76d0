#include "delivery/DeliveryCenter.h"
#include "delivery/DeliveryQueue.h"
#include "delivery/DeliverySettings.h"
#include "delivery/MailSender.h"
#include "delivery/PushRequests.h"
#include <system_error>
#include <thread>
#include <utility>

namespace {
constexpr DeliveryChannel kPhoneChannels[] = {DeliveryChannel::Telegram, DeliveryChannel::Ntfy,
                                              DeliveryChannel::Webhook};
} // namespace

DeliveryCenter::DeliveryCenter()
    : queue(std::make_unique<DeliveryQueue>(
          [this](const DeliveryOutcome& outcome) { Arrived(outcome); })) {}

DeliveryCenter::~DeliveryCenter() = default;

void DeliveryCenter::SetWake(Wake callback) {
    std::lock_guard<std::mutex> lock(mutex);
    wake = std::move(callback);
}

void DeliveryCenter::SendMail(const AlertNotice& notice) {
    const SmtpSettings settings = LoadSmtpSettings();
    if (const auto problem = UnreadableSecretProblem(DeliveryChannel::Mail, settings, {}))
        ReportUnsent(DeliveryChannel::Mail, notice, *problem);
    else
        queue->Submit(DeliveryChannel::Mail, notice,
                      [settings, notice] { return SendMailNow(settings, notice); });
}

void DeliveryCenter::SendPhone(const AlertNotice& notice) {
    const PhoneSettings settings = LoadPhoneSettings();
    for (const DeliveryChannel channel : kPhoneChannels) {
        if (const auto problem = UnreadableSecretProblem(channel, {}, settings))
            ReportUnsent(channel, notice, *problem);
        else if (ChannelConfigured(channel, settings))
            queue->Submit(channel, notice, [channel, settings, notice] {
                return SendPush(channel, settings, notice);
            });
    }
}

// Through the queue, so that it is logged and kept in the history as every other outcome.
void DeliveryCenter::ReportUnsent(DeliveryChannel channel, const AlertNotice& notice,
                                  const std::string& reason) {
    queue->Submit(channel, notice, [reason] { return SendResult{false, false, reason}; });
}

void DeliveryCenter::Arrived(const DeliveryOutcome& outcome) {
    Wake callback;
    {
        std::lock_guard<std::mutex> lock(mutex);
        outcomes.push_back(outcome);
        callback = wake;
    }
    if (callback)
        callback();
}

std::vector<DeliveryOutcome> DeliveryCenter::TakeOutcomes() {
    std::lock_guard<std::mutex> lock(mutex);
    return std::exchange(outcomes, {});
}

void DeliveryCenter::Stop() {
    SetWake(nullptr);
    queue->Stop();
}

DeliveryCenter& Deliveries() {
    static DeliveryCenter* const center = new DeliveryCenter; // deliberately never freed
    return *center;
}

bool TestSend::Start(Send send, std::function<void()> wake) {
    {
        std::lock_guard<std::mutex> lock(slot->mutex);
        if (slot->running)
            return false;
        slot->running = true;
        slot->result.reset();
    }
    try {
        std::thread([shared = slot, send = std::move(send), wake = std::move(wake)] {
            SendResult result;
            try {
                result = send();
            } catch (...) {
                result.detail = "the send failed";
            }
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                shared->result = std::move(result);
                shared->running = false;
            }
            if (wake)
                wake();
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(slot->mutex);
        slot->running = false;
        return false;
    }
    return true;
}

std::optional<SendResult> TestSend::Take() {
    std::lock_guard<std::mutex> lock(slot->mutex);
    return std::exchange(slot->result, std::nullopt);
}
