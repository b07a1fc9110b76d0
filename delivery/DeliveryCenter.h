#pragma once
// The program's one way out for mail and phone notices: each send runs on its channel's
// worker, the outcomes wait here until the window thread takes them (to log them), and the
// window is woken when one arrives.
#include "delivery/Delivery.h"
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class DeliveryQueue;

class DeliveryCenter {
public:
    using Wake = std::function<void()>; // called on a worker: post a message, nothing more

    DeliveryCenter();
    ~DeliveryCenter();
    void SetWake(Wake wake);
    // Take the settings now (on the window thread) and send on a worker. A channel whose
    // stored secret cannot be read reports a failed delivery saying so.
    void SendMail(const AlertNotice& notice);
    void SendPhone(const AlertNotice& notice);
    std::vector<DeliveryOutcome> TakeOutcomes();
    // Ends the workers; called once at the end of the program.
    void Stop();

private:
    void Arrived(const DeliveryOutcome& outcome);
    void ReportUnsent(DeliveryChannel channel, const AlertNotice& notice,
                      const std::string& reason);

    std::mutex mutex;
    Wake wake;
    std::vector<DeliveryOutcome> outcomes;
    std::unique_ptr<DeliveryQueue> queue;
};

// Never destroyed, so a worker still running at exit can report to it.
DeliveryCenter& Deliveries();

// One send started by a test button: it runs on a thread of its own and its result waits
// until the window takes it; a window closed meanwhile leaves the result to the thread.
class TestSend {
public:
    using Send = std::function<SendResult()>;
    // False while one still runs.
    bool Start(Send send, std::function<void()> wake);
    std::optional<SendResult> Take();

private:
    struct Slot {
        std::mutex mutex;
        bool running = false;
        std::optional<SendResult> result;
    };
    std::shared_ptr<Slot> slot = std::make_shared<Slot>();
};
