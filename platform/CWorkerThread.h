#pragma once
// A worker thread with a message queue, in the manner of a user-interface
// thread: created suspended, given its fields, resumed; other threads post
// it messages; its owner waits for its end with a time-out.
#include "WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct ThreadMessage
{
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class CWorkerThread
{
public:
    CWorkerThread() = default;
    // Waits for the thread without limit: a running thread is never destroyed.
    // Contract for derived classes: a class whose Run, InitInstance or
    // OnThreadMessage uses its own members ends and joins the thread in its
    // own destructor (JoinThread), because this destructor runs only after
    // those members are gone.
    virtual ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Starts the thread; with suspended it waits for ResumeThread before Run.
    bool CreateThread(bool suspended = true);
    void ResumeThread();
    // Queues a message; false when the thread has ended or was never created.
    bool PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Waits up to timeoutMs (negative: no limit) for Run to return; true when it has.
    // A thread that was never resumed does not end by itself.
    bool WaitForEnd(int timeoutMs);
    bool IsCreated() const { return m_thread.joinable(); }
    bool HasEnded() const { return m_ended.load(); }
    int ExitCode() const { return m_exitCode.load(); }

protected:
    // Runs on the thread. Default: InitInstance, then the message loop that
    // hands each message to OnThreadMessage until WM_QUIT, then ExitInstance.
    virtual int Run();
    // False ends the thread at once (ExitInstance still runs).
    virtual bool InitInstance() { return true; }
    virtual void OnThreadMessage(const ThreadMessage& /*message*/) {}
    virtual int ExitInstance() { return m_quitCode; }

    // Blocks for the next message; false when it is WM_QUIT.
    bool GetMessage(ThreadMessage& message);
    // Waits at most timeoutMs for a message; false on time-out or WM_QUIT (quit tells which).
    bool GetMessage(ThreadMessage& message, int timeoutMs, bool& quit);
    void PostQuitMessage(int exitCode);
    // Waits without limit for the thread to end; a thread that was never
    // resumed ends without running. Does nothing when there is no thread.
    // The caller makes sure Run returns (posts WM_QUIT or its own stop) first.
    void JoinThread();

private:
    void ThreadMain();

    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_signal;
    std::deque<ThreadMessage> m_queue;
    bool m_resumed = false;
    bool m_cancelled = false;
    bool m_quitPending = false;
    std::atomic<bool> m_accepting{false};
    std::atomic<bool> m_ended{false};
    std::atomic<int> m_exitCode{0};
    int m_quitCode = 0;
};
