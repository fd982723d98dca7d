#pragma once
// The reply watchdog beside an open Modbus TCP link: armed before each
// receive, disarmed after it; when the period runs out first it notifies its
// observer (the link), which cancels the pending receive.
#include "foundation/CObservable.h"
#include "platform/CWorkerThread.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

class CTimerThread : public CWorkerThread, public CObservable
{
public:
    CTimerThread() = default;
    ~CTimerThread() override;

    // On the link's thread. True when the watchdog has begun to guard; false
    // when it could not be armed within a bounded time (the receive then
    // relies on its own time-out).
    bool Arm(unsigned periodMs);
    // Ends the guard and waits until the watchdog has finished its command.
    void Disarm();
    // Ends the thread; the object may be destroyed afterwards.
    void Stop();

    // Handler of "wm_timer_thread_command": command 0 guards one receive for
    // period ms, command 1 quits.
    void OnCommand(WPARAM period, LPARAM command);

protected:
    void OnThreadMessage(const ThreadMessage& message) override;

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_armed = false;
    bool m_busy = false;
    std::uint64_t m_armGeneration = 0;
    std::uint64_t m_guardGeneration = 0;
};

// How long Arm waits for the watchdog to take up its command.
inline constexpr int kWatchdogArmLimitMs = 1000;
