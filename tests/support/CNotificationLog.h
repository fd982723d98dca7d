#pragma once
// Observes a block that a worker thread updates: counts its notifications,
// keeps the time of each, and lets the test wait for the next ones.
#include "foundation/CObserver.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

class CNotificationLog : public CObserver
{
public:
    using Clock = std::chrono::steady_clock;

    void Update(CObservable* notifier) override;
    // False when fewer than count notifications came within the limit.
    bool WaitFor(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(15));
    std::size_t Count() const;
    std::vector<Clock::time_point> Times() const;

    // Runs on the notifying thread for each notification, before it is
    // logged, so a test can answer it there; set before that thread starts.
    void AfterEach(std::function<void()> action) { m_afterEach = std::move(action); }

private:
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Clock::time_point> m_times;
    std::function<void()> m_afterEach;
};
