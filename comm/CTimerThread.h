#pragma once
// The reply watchdog beside an open Modbus TCP link: armed before each
// receive, disarmed after it; when the period runs out first it notifies its
// observer (the link), which cancels the pending receive.
#include "foundation/CObservable.h"
#include "platform/CWorkerThread.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class CTimerThread : public CWorkerThread, public CObservable
{
public:
    CTimerThread() = default;
    ~CTimerThread() override;

    // On the link's thread; never waits for the watchdog. The period counts
    // from now. False when the watchdog cannot take the command (its thread
    // has ended): the receive then relies on its own time-out.
    bool Arm(unsigned periodMs);
    // Ends the guard. Once it returns, no notification of this guard can come.
    void Disarm();
    // Ends the thread; the object may be destroyed afterwards.
    void Stop();

    // Handler of "wm_timer_thread_command": command 0 guards the receives
    // armed from now on, for as long as they keep coming; command 1 quits.
    void OnCommand(WPARAM period, LPARAM command);

protected:
    void OnThreadMessage(const ThreadMessage& message) override;

private:
    using Clock = std::chrono::steady_clock;

    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_armed = false;
    bool m_firing = false;  // the observers are being notified
    bool m_guarding = false; // a command 0 runs or is on its way
    bool m_stopping = false;
    std::uint64_t m_generation = 0;      // one more for every Arm
    std::uint64_t m_firedGeneration = 0; // the guard that ran out last
    Clock::time_point m_deadline;
    Clock::time_point m_wakeAt; // when the guarding thread looks again
};

// How long a guarding watchdog waits for the next receive before it goes
// back to its message loop.
inline constexpr int kWatchdogLingerMs = 1000;
