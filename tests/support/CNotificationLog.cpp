#include "CNotificationLog.h"

void CNotificationLog::Update(CObservable* /*notifier*/)
{
    // Answered before it is logged: a test that waits for this notification
    // and then changes what the answer does never races the answer.
    if (m_afterEach)
        m_afterEach();
    std::lock_guard lock(m_lock);
    m_times.push_back(Clock::now());
    m_changed.notify_all();
}

bool CNotificationLog::WaitFor(std::size_t count, std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_lock);
    return m_changed.wait_for(lock, limit, [&] { return m_times.size() >= count; });
}

std::size_t CNotificationLog::Count() const
{
    std::lock_guard lock(m_lock);
    return m_times.size();
}

std::vector<CNotificationLog::Clock::time_point> CNotificationLog::Times() const
{
    std::lock_guard lock(m_lock);
    return m_times;
}
