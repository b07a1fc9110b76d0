#pragma once
// Sends notices on worker threads, one at a time per channel, with retries, so that an
// alert never waits for a mail or a phone server.
#include "delivery/Delivery.h"
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// One attempt of one notice; runs on the channel's worker.
using Sender = std::function<SendResult()>;

// Most notices of one channel waiting behind the one being sent.
inline constexpr std::size_t kMostWaitingPerChannel = 16;
// How long Stop waits by default for a send in progress before leaving it behind.
inline constexpr std::chrono::milliseconds kStopWait{3000};

// The pause before the next attempt after `attemptsMade` attempts that failed for now;
// nothing when no attempt is left. Two retries, the last within two minutes of the first.
std::optional<std::chrono::seconds> RetryDelay(int attemptsMade);

// One diagnostic line: "DELIVERY:TELEGRAM:FAILED:3;HTTP 401 Unauthorized".
std::string DeliveryLogLine(const DeliveryOutcome& outcome);

struct DeliveryQueueState;

class DeliveryQueue {
public:
    // Called on a worker thread once per submission with its final outcome (not for a
    // send still hanging when the queue stopped).
    using Report = std::function<void(const DeliveryOutcome&)>;
    // Waits `delay` before a retry, or less when `stopping` turns true; false when the
    // queue is stopping. Empty: the real clock.
    using RetryWait =
        std::function<bool(std::chrono::seconds delay, const std::function<bool()>& stopping)>;

    explicit DeliveryQueue(Report report, RetryWait wait = {},
                           std::chrono::milliseconds stopWait = kStopWait);
    ~DeliveryQueue();
    DeliveryQueue(const DeliveryQueue&) = delete;
    DeliveryQueue& operator=(const DeliveryQueue&) = delete;

    // Queues the notice and returns its ticket at once; 0 when the queue has stopped or no
    // worker could start. Beyond kMostWaitingPerChannel the oldest waiting notice is
    // dropped, and reported as not sent once the send in progress ends. The sender must own
    // what it uses: a send left behind by Stop may still run after the queue is gone.
    std::uint32_t Submit(DeliveryChannel channel, AlertNotice notice, Sender send);
    // Notices still waiting are reported as not sent once the send in progress ends; a send
    // that hangs past the stop wait is left to end on its own, and neither it nor the
    // notices behind it report anything. Idempotent.
    void Stop();

private:
    std::shared_ptr<DeliveryQueueState> state;
};
