#include "delivery/DeliveryQueue.h"
#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {
constexpr std::array<std::chrono::seconds, 2> kRetryDelays{std::chrono::seconds(30),
                                                           std::chrono::seconds(60)};

struct Job {
    std::uint32_t ticket = 0;
    AlertNotice notice;
    Sender send;
};

struct ChannelWorker {
    std::deque<Job> waiting;
    std::vector<Job> dropped; // pushed out by newer ones; the worker reports them
    std::thread thread;
    bool started = false;
    bool ended = false;
};
} // namespace

// Shared with the workers, so that one left behind by Stop never touches a freed queue.
struct DeliveryQueueState {
    std::mutex mutex;
    std::condition_variable changed;
    DeliveryQueue::Report report;
    DeliveryQueue::RetryWait wait;
    std::chrono::milliseconds stopWait{};
    bool stopping = false;
    bool abandoned = false; // Stop has returned or is about to: report nothing more
    int reporting = 0;      // reports running now
    std::uint32_t lastTicket = 0;
    std::array<ChannelWorker, kDeliveryChannels> channels;
};

namespace {
using Lock = std::unique_lock<std::mutex>;

DeliveryOutcome OutcomeOf(DeliveryChannel channel, Job& job, bool sent, int attempts,
                          std::string detail) {
    DeliveryOutcome outcome;
    outcome.channel = channel;
    outcome.ticket = job.ticket;
    outcome.sent = sent;
    outcome.attempts = attempts;
    outcome.detail = std::move(detail);
    outcome.notice = std::move(job.notice);
    return outcome;
}

// Called and returns with the lock held; the report itself runs without it.
void Report(DeliveryQueueState& state, Lock& lock, const DeliveryOutcome& outcome) {
    if (state.abandoned || !state.report)
        return;
    ++state.reporting;
    lock.unlock();
    try {
        state.report(outcome);
    } catch (...) {
        // The owner's failure must not end the worker.
    }
    lock.lock();
    --state.reporting;
    state.changed.notify_all();
}

bool WaitBeforeRetry(DeliveryQueueState& state, std::chrono::seconds delay) {
    if (state.wait) {
        return state.wait(delay, [&state] {
            std::lock_guard<std::mutex> lock(state.mutex);
            return state.stopping;
        });
    }
    Lock lock(state.mutex);
    return !state.changed.wait_for(lock, delay, [&state] { return state.stopping; });
}

// Every attempt of one notice; runs without the lock.
DeliveryOutcome Deliver(DeliveryQueueState& state, DeliveryChannel channel, Job& job) {
    int attempts = 0;
    SendResult result;
    for (;;) {
        ++attempts;
        try {
            result = job.send();
        } catch (...) {
            result = SendResult{false, false, "the send failed unexpectedly"};
        }
        if (result.sent || !result.transient)
            break;
        const std::optional<std::chrono::seconds> delay = RetryDelay(attempts);
        if (!delay)
            break;
        if (!WaitBeforeRetry(state, *delay)) {
            result.detail += " (stopped before the next try)";
            break;
        }
    }
    return OutcomeOf(channel, job, result.sent, attempts, std::move(result.detail));
}

void RunWorker(std::shared_ptr<DeliveryQueueState> shared, int index) {
    DeliveryQueueState& state = *shared;
    ChannelWorker& worker = state.channels[index];
    const auto channel = static_cast<DeliveryChannel>(index);
    Lock lock(state.mutex);
    for (;;) {
        state.changed.wait(lock, [&] {
            return state.stopping || !worker.waiting.empty() || !worker.dropped.empty();
        });
        if (!worker.dropped.empty()) {
            std::vector<Job> dropped = std::move(worker.dropped);
            worker.dropped.clear();
            for (Job& job : dropped)
                Report(state, lock, OutcomeOf(channel, job, false, 0, "too many waiting"));
            continue;
        }
        if (state.stopping)
            break;
        Job job = std::move(worker.waiting.front());
        worker.waiting.pop_front();
        lock.unlock();
        const DeliveryOutcome outcome = Deliver(state, channel, job);
        lock.lock();
        Report(state, lock, outcome);
    }
    std::deque<Job> left = std::move(worker.waiting);
    worker.waiting.clear();
    for (Job& job : left)
        Report(state, lock, OutcomeOf(channel, job, false, 0, "not sent: the program stopped"));
    worker.ended = true;
    state.changed.notify_all();
}

std::string OneLineDetail(std::string detail) {
    for (char& c : detail) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return detail;
}
} // namespace

std::optional<std::chrono::seconds> RetryDelay(int attemptsMade) {
    if (attemptsMade < 1 || attemptsMade > static_cast<int>(kRetryDelays.size()))
        return std::nullopt;
    return kRetryDelays[attemptsMade - 1];
}

std::string DeliveryLogLine(const DeliveryOutcome& outcome) {
    return std::string("DELIVERY:") + ChannelName(outcome.channel) + ":" +
           (outcome.sent ? "SENT" : "FAILED") + ":" + std::to_string(outcome.attempts) + ";" +
           OneLineDetail(outcome.detail);
}

DeliveryQueue::DeliveryQueue(Report report, RetryWait wait, std::chrono::milliseconds stopWait)
    : state(std::make_shared<DeliveryQueueState>()) {
    state->report = std::move(report);
    state->wait = std::move(wait);
    state->stopWait = stopWait;
}

DeliveryQueue::~DeliveryQueue() {
    Stop();
}

std::uint32_t DeliveryQueue::Submit(DeliveryChannel channel, AlertNotice notice, Sender send) {
    const int index = static_cast<int>(channel);
    if (index < 0 || index >= kDeliveryChannels || !send)
        return 0;
    std::lock_guard<std::mutex> lock(state->mutex);
    if (state->stopping)
        return 0;
    ChannelWorker& worker = state->channels[index];
    if (!worker.started) {
        try {
            worker.thread = std::thread(RunWorker, state, index);
        } catch (const std::system_error&) {
            return 0;
        }
        worker.started = true;
    }
    if (++state->lastTicket == 0)
        ++state->lastTicket; // 0 means "not accepted"
    if (worker.waiting.size() >= kMostWaitingPerChannel) {
        worker.dropped.push_back(std::move(worker.waiting.front()));
        worker.waiting.pop_front();
    }
    worker.waiting.push_back(Job{state->lastTicket, std::move(notice), std::move(send)});
    state->changed.notify_all();
    return state->lastTicket;
}

void DeliveryQueue::Stop() {
    std::vector<std::thread> finished;
    std::vector<std::thread> hanging;
    {
        Lock lock(state->mutex);
        state->stopping = true;
        state->changed.notify_all();
        auto allEnded = [this] {
            for (const ChannelWorker& worker : state->channels) {
                if (worker.started && !worker.ended)
                    return false;
            }
            return true;
        };
        state->changed.wait_for(lock, state->stopWait, allEnded);
        state->abandoned = true;
        state->changed.wait(lock, [this] { return state->reporting == 0; });
        for (ChannelWorker& worker : state->channels) {
            if (!worker.thread.joinable())
                continue;
            (worker.ended ? finished : hanging).push_back(std::move(worker.thread));
        }
    }
    for (std::thread& thread : finished)
        thread.join();
    // Each holds the shared state, so it may end whenever its send returns.
    for (std::thread& thread : hanging)
        thread.detach();
}
