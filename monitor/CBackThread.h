#pragma once
// The monitor's polling thread: takes one command at a time from its queue
// ("wm_back_thread_command": command number, argument), opens the monitor's
// link, reads the unit's live values into the measurement block, closes the
// link and has the block notify its observers. Its mutex also lets the GUI
// thread borrow the link (loop test, utilities) between commands.
#include "foundation/CMutexHandle.h"
#include "params/CDeviceType.h"
#include "platform/CWorkerThread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class CMeasurandsAvo;
class CModbusInterface;

class CBackThread : public CWorkerThread
{
public:
    enum Command : UINT
    {
        CommandQuit = 0,
        CommandIdentification = 1,
        CommandRealtime = 2,
        CommandMaximum = 3,
        CommandMinimum = 4,
        CommandEnergy1 = 5,
        CommandEnergy2 = 6,
        CommandHarmonicTotals = 7,
        CommandHarmonics = 8, // argument: harmonics row 0..9
        CommandCounters = 9,
    };

    // Loop-test mode of channel 1 and 2 (nonzero: loop test).
    static constexpr int kRegisterLoopTestMode[2] = {5335, 5338};
    // A failing command is tried again no sooner than this after its last attempt began.
    static constexpr int kFailurePaceMs = 500;

    CBackThread();
    // Stops and joins the thread (as Stop) before any member goes.
    ~CBackThread() override;

    // Before Start; neither is owned.
    void SetMeasurands(CMeasurandsAvo* block) { m_block = block; }
    void SetLink(CModbusInterface* link) { m_link = link; }

    // Sets running and channel 0, then starts the thread. False after Stop,
    // when already started, without block or link, or when no thread could be made.
    bool Start();
    // Queues a command; false once the thread has ended or before Start.
    bool PostCommand(UINT command, int argument = 0);

    // Waits without limit for the mutex; true when held. Applies a pending
    // unit address to the link, so the holder talks to the chosen unit.
    bool Lock();
    void Unlock();
    // Pairs one Lock with one Unlock.
    class CLock
    {
    public:
        explicit CLock(CBackThread& thread) : m_thread(thread), m_held(thread.Lock()) {}
        ~CLock()
        {
            if (m_held)
                m_thread.Unlock();
        }
        CLock(const CLock&) = delete;
        CLock& operator=(const CLock&) = delete;
        bool IsHeld() const { return m_held; }

    private:
        CBackThread& m_thread;
        bool m_held;
    };

    // Clears running, aborts the link's transfer, releases the mutex if this
    // thread holds it, posts command 0 and waits for the thread's end. After
    // it no notification comes. Harmless when repeated or before Start.
    void Stop();

    bool IsRunning() const { return m_running.load(); }
    // Result of the last command: true when it failed.
    bool GetError() const { return m_error.load(); }
    UINT GetLastCommand() const { return m_lastCommand.load(); }
    bool GetWordSwap() const { return m_wordSwap.load(); }

    // 0 or 1; a command reads it once as it starts.
    int GetChannel() const { return m_channel.load(); }
    void SetChannel(int channel);
    // The link's unit address changes before the next command (or Lock), never during one.
    void SetUnitAddress(int address);

    // A copy of the identification read by command 1, taken under the mutex.
    CDeviceType GetDeviceType();

    // One command on the polling thread (the handler of "wm_back_thread_command").
    void OnCommand(UINT command, int argument);

protected:
    void OnThreadMessage(const ThreadMessage& message) override;
    // Identifies the unit over the connected link; throws for an unsupported
    // unit. A class that overrides it stops the thread in its own destructor.
    virtual void IdentifyUnit(CModbusInterface& link, CDeviceType& deviceType);

private:
    void RunCommand(UINT command, int argument, int channel);
    void ReadIdentification(int channel);
    void ReadScales(int channel);
    void ReadHarmonics(int row, int channel);
    // Each read is made only while running; false when skipped.
    bool Read16(int address, int count, std::uint16_t* words);
    bool Read32(int address, int count, std::int32_t* values);
    void ApplyPendingAddress();
    void WaitForFailurePace();

    CMutexHandle m_mutex;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopped{false};
    std::atomic<bool> m_error{false};
    std::atomic<UINT> m_lastCommand{0};
    std::atomic<bool> m_wordSwap{false};
    std::atomic<int> m_channel{0};
    std::atomic<int> m_pendingAddress{0}; // 0: none
    CMeasurandsAvo* m_block = nullptr;
    CModbusInterface* m_link = nullptr;
    CDeviceType m_deviceType;

    // Pacing of failed attempts; Stop cuts the wait short.
    std::mutex m_paceLock;
    std::condition_variable m_paceWake;
    bool m_lastFailed = false;
    std::chrono::steady_clock::time_point m_lastAttempt{};
};
