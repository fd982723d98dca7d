#include "CWorkerThread.h"

#include <chrono>
#include <system_error>

CWorkerThread::~CWorkerThread()
{
    JoinThread();
}

void CWorkerThread::JoinThread()
{
    if (!m_thread.joinable())
        return;
    if (m_thread.get_id() == std::this_thread::get_id()) {
        // Deleted from its own thread: it can't wait for itself.
        m_thread.detach();
        return;
    }
    {
        // A thread that was never resumed ends without running.
        std::lock_guard guard(m_lock);
        if (!m_resumed) {
            m_cancelled = true;
            m_resumed = true;
        }
    }
    m_signal.notify_all();
    m_thread.join();
}

bool CWorkerThread::CreateThread(bool suspended)
{
    if (m_thread.joinable())
        return false;
    {
        std::lock_guard guard(m_lock);
        m_resumed = !suspended;
        m_cancelled = false;
        m_quitPending = false;
        m_queue.clear();
    }
    m_ended = false;
    m_accepting = true;
    try {
        m_thread = std::thread(&CWorkerThread::ThreadMain, this);
    } catch (const std::system_error&) {
        m_accepting = false;
        return false;
    }
    return true;
}

void CWorkerThread::ResumeThread()
{
    {
        std::lock_guard guard(m_lock);
        m_resumed = true;
    }
    m_signal.notify_all();
}

bool CWorkerThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard guard(m_lock);
        if (!m_accepting)
            return false;
        m_queue.push_back({message, wParam, lParam});
    }
    m_signal.notify_all();
    return true;
}

bool CWorkerThread::WaitForEnd(int timeoutMs)
{
    if (!m_thread.joinable())
        return true;
    std::unique_lock guard(m_lock);
    if (timeoutMs < 0) {
        m_signal.wait(guard, [this] { return m_ended.load(); });
        return true;
    }
    return m_signal.wait_for(guard, std::chrono::milliseconds(timeoutMs), [this] { return m_ended.load(); });
}

int CWorkerThread::Run()
{
    if (InitInstance()) {
        ThreadMessage message;
        while (GetMessage(message))
            OnThreadMessage(message);
    }
    return ExitInstance();
}

bool CWorkerThread::GetMessage(ThreadMessage& message)
{
    bool quit = false;
    while (!GetMessage(message, -1, quit)) {
        if (quit)
            return false;
    }
    return true;
}

bool CWorkerThread::GetMessage(ThreadMessage& message, int timeoutMs, bool& quit)
{
    quit = false;
    std::unique_lock guard(m_lock);
    const auto ready = [this] { return !m_queue.empty() || m_quitPending; };
    if (timeoutMs < 0)
        m_signal.wait(guard, ready);
    else if (!m_signal.wait_for(guard, std::chrono::milliseconds(timeoutMs), ready))
        return false;

    if (m_queue.empty()) {
        // A quit asked for by the thread itself comes once the queue is empty.
        m_quitPending = false;
        message = {WM_QUIT, static_cast<WPARAM>(m_quitCode), 0};
    } else {
        message = m_queue.front();
        m_queue.pop_front();
    }
    if (message.message == WM_QUIT) {
        m_quitCode = static_cast<int>(message.wParam);
        quit = true;
        return false;
    }
    return true;
}

void CWorkerThread::PostQuitMessage(int exitCode)
{
    {
        std::lock_guard guard(m_lock);
        m_quitCode = exitCode;
        m_quitPending = true;
    }
    m_signal.notify_all();
}

void CWorkerThread::ThreadMain()
{
    bool cancelled = false;
    {
        std::unique_lock guard(m_lock);
        m_signal.wait(guard, [this] { return m_resumed; });
        cancelled = m_cancelled;
    }
    const int exitCode = cancelled ? 0 : Run();
    {
        std::lock_guard guard(m_lock);
        m_accepting = false;
        m_queue.clear();
        m_exitCode = exitCode;
        m_ended = true;
    }
    m_signal.notify_all();
}
