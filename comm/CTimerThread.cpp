#include "CTimerThread.h"

#include "foundation/Globals.h"

CTimerThread::~CTimerThread()
{
    // The thread calls into this object: it must have ended before the members go.
    if (IsCreated() && !HasEnded()) {
        ResumeThread();
        Stop();
        WaitForEnd(-1);
    }
}

bool CTimerThread::Arm(unsigned periodMs)
{
    std::unique_lock lock(m_lock);
    m_armed = true;
    ++m_generation;
    m_deadline = Clock::now() + std::chrono::milliseconds(periodMs);
    // A watchdog already guarding picks the new guard up by itself, in time
    // as long as it looks again before the deadline. No handshake: the link
    // never waits for the watchdog's thread.
    if (m_guarding) {
        if (m_deadline < m_wakeAt)
            m_changed.notify_all();
        return true;
    }
    m_guarding = true;
    lock.unlock();
    if (PostThreadMessage(WM_TIMER_THREAD_COMMAND, periodMs, 0))
        return true;
    // The thread has ended: this receive relies on its own time-out.
    lock.lock();
    m_guarding = false;
    m_armed = false;
    return false;
}

void CTimerThread::Disarm()
{
    std::unique_lock lock(m_lock);
    m_armed = false;
    // A notification under way must land before the caller's next receive.
    m_changed.wait(lock, [&] { return !m_firing; });
}

void CTimerThread::Stop()
{
    {
        std::lock_guard lock(m_lock);
        m_armed = false;
        m_stopping = true;
        m_changed.notify_all();
    }
    Disarm();
    PostThreadMessage(WM_TIMER_THREAD_COMMAND, 0, 1);
    // Every wait of the thread is bounded, so it ends soon; the object is
    // never destroyed under it (the base joins), only this wait is bounded.
    WaitForEnd(1000);
}

void CTimerThread::OnThreadMessage(const ThreadMessage& message)
{
    if (message.message == WM_TIMER_THREAD_COMMAND)
        OnCommand(message.wParam, message.lParam);
}

void CTimerThread::OnCommand(WPARAM /*period*/, LPARAM command)
{
    if (command == 1) {
        PostQuitMessage(0);
        return;
    }
    if (command != 0)
        return;

    std::unique_lock lock(m_lock);
    // Each guard runs to the deadline set when it was armed, however late
    // this thread comes to look at it.
    while (!m_stopping) {
        const Clock::time_point now = Clock::now();
        if (m_armed && m_generation != m_firedGeneration) {
            if (now < m_deadline) {
                m_wakeAt = m_deadline;
                m_changed.wait_until(lock, m_wakeAt);
                continue;
            }
            m_firedGeneration = m_generation;
            m_firing = true;
            lock.unlock();
            NotifyObservers();
            lock.lock();
            m_firing = false;
            m_changed.notify_all();
            continue;
        }
        // Nothing to guard: wait a while for the next receive, then go back
        // to the message loop.
        m_wakeAt = now + std::chrono::milliseconds(kWatchdogLingerMs);
        if (!m_changed.wait_until(lock, m_wakeAt,
                                  [&] { return m_stopping || (m_armed && m_generation != m_firedGeneration); }))
            break;
    }
    m_guarding = false;
}
