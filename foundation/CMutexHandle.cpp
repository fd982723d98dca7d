#include "CMutexHandle.h"

CMutexHandle::CMutexHandle(const char*) {}

CMutexHandle::~CMutexHandle()
{
    while (m_mutex.Release()) {
    }
    {
        std::lock_guard guard(m_stateLock);
        m_closing = true;
    }
    // Another holder finishes its work first; the mutex is destroyed unlocked.
    if (m_mutex.Wait(-1) != CRecursiveMutex::WaitResult::Failed)
        m_mutex.Release();
    std::unique_lock guard(m_stateLock);
    m_idle.wait(guard, [this] { return m_waiters == 0; });
}

bool CMutexHandle::Wait(int timeoutMs)
{
    {
        std::lock_guard guard(m_stateLock);
        if (m_closing)
            return false;
        ++m_waiters;
    }
    // A mutex that could not be made, or a wait that failed, never counts as
    // acquired: the exclusion it stands for would silently be gone.
    bool acquired = false;
    switch (m_mutex.Wait(timeoutMs)) {
    case CRecursiveMutex::WaitResult::Acquired:
    case CRecursiveMutex::WaitResult::Abandoned:
        acquired = true;
        break;
    default:
        break;
    }
    std::lock_guard guard(m_stateLock);
    if (acquired && m_closing) {
        m_mutex.Release();
        acquired = false;
    }
    if (--m_waiters == 0)
        m_idle.notify_all();
    return acquired;
}

void CMutexHandle::Release()
{
    // Nothing happens when this thread does not hold it.
    m_mutex.Release();
}
