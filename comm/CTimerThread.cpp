#include "CTimerThread.h"

#include "foundation/Globals.h"

#include <chrono>

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
    const std::uint64_t generation = ++m_armGeneration;
    lock.unlock();
    const bool posted = PostThreadMessage(WM_TIMER_THREAD_COMMAND, periodMs, 0);
    lock.lock();
    // Bounded: a watchdog that never takes up the command leaves the receive
    // to its own time-out instead of hanging the link.
    if (posted && m_changed.wait_for(lock, std::chrono::milliseconds(kWatchdogArmLimitMs),
                                     [&] { return m_guardGeneration == generation; }))
        return true;
    m_armed = false;
    m_changed.notify_all();
    return false;
}

void CTimerThread::Disarm()
{
    std::unique_lock lock(m_lock);
    m_armed = false;
    m_changed.notify_all();
    // Once this returns, a cancel of the guarded receive can no longer land.
    m_changed.wait(lock, [&] { return !m_busy; });
}

void CTimerThread::Stop()
{
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

void CTimerThread::OnCommand(WPARAM period, LPARAM command)
{
    std::unique_lock lock(m_lock);
    m_busy = true;
    if (command == 0 && m_armed) {
        const std::uint64_t generation = m_armGeneration;
        m_guardGeneration = generation;
        m_changed.notify_all();
        const bool disarmed = m_changed.wait_for(lock, std::chrono::milliseconds(period),
                                                 [&] { return !m_armed || m_armGeneration != generation; });
        if (!disarmed) {
            lock.unlock();
            NotifyObservers();
            lock.lock();
        }
    } else if (command == 1) {
        PostQuitMessage(0);
    }
    m_busy = false;
    m_changed.notify_all();
}
