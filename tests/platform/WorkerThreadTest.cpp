#include "platform/CWorkerThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr UINT kRecord = 0x400;
constexpr UINT kQuitWith = 0x401;

class RecordingThread : public CWorkerThread
{
public:
    ~RecordingThread() override
    {
        ResumeThread();
        PostThreadMessage(WM_QUIT, 0, 0);
        WaitForEnd(-1);
    }
    std::vector<WPARAM> Received()
    {
        std::lock_guard guard(m_lock);
        return m_received;
    }
    bool initResult = true;

protected:
    bool InitInstance() override { return initResult; }
    void OnThreadMessage(const ThreadMessage& message) override
    {
        if (message.message == kQuitWith) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        std::lock_guard guard(m_lock);
        m_received.push_back(message.wParam);
    }

private:
    std::mutex m_lock;
    std::vector<WPARAM> m_received;
};

} // namespace

TEST(WorkerThread, RunsOnlyAfterResumeAndHandlesMessagesInOrder)
{
    RecordingThread thread;
    EXPECT_FALSE(thread.PostThreadMessage(kRecord, 1, 0)) << "no thread yet";
    ASSERT_TRUE(thread.CreateThread(true));
    for (WPARAM i = 1; i <= 5; ++i)
        EXPECT_TRUE(thread.PostThreadMessage(kRecord, i, 0));
    EXPECT_FALSE(thread.WaitForEnd(50));
    EXPECT_TRUE(thread.Received().empty()) << "suspended threads do not run";

    // The thread's own quit comes after what is already queued (queued
    // before it runs, so that it cannot quit before the 6 is there).
    thread.PostThreadMessage(kQuitWith, 7, 0);
    thread.PostThreadMessage(kRecord, 6, 0);
    thread.ResumeThread();
    ASSERT_TRUE(thread.WaitForEnd(5000));
    EXPECT_EQ(thread.Received(), (std::vector<WPARAM>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(thread.ExitCode(), 7);
    EXPECT_TRUE(thread.HasEnded());
    EXPECT_FALSE(thread.PostThreadMessage(kRecord, 8, 0)) << "ended threads take no messages";
}

TEST(WorkerThread, WaitTimesOutWhileTheThreadRuns)
{
    RecordingThread thread;
    ASSERT_TRUE(thread.CreateThread(false));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(thread.WaitForEnd(100));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_FALSE(thread.HasEnded());

    thread.PostThreadMessage(WM_QUIT, 3, 0);
    thread.PostThreadMessage(kRecord, 1, 0);
    EXPECT_TRUE(thread.WaitForEnd(-1));
    EXPECT_EQ(thread.ExitCode(), 3);
    EXPECT_TRUE(thread.Received().empty()) << "a posted quit ends the loop in queue order";
}

TEST(WorkerThread, FailedInitEndsAtOnceAndANeverResumedThreadIsDestroyed)
{
    RecordingThread failing;
    failing.initResult = false;
    ASSERT_TRUE(failing.CreateThread(false));
    EXPECT_TRUE(failing.WaitForEnd(5000));
    EXPECT_FALSE(failing.CreateThread(false)) << "one thread per object";

    auto suspended = std::make_unique<CWorkerThread>();
    ASSERT_TRUE(suspended->CreateThread(true));
    suspended.reset(); // must not hang
}

TEST(WorkerThread, TimedGetMessageReportsTimeOutsAndQuit)
{
    class PollingThread : public CWorkerThread
    {
    public:
        ~PollingThread() override { WaitForEnd(-1); }
        std::atomic<int> timeouts{0};
        std::atomic<int> messages{0};

    protected:
        int Run() override
        {
            ThreadMessage message;
            bool quit = false;
            for (;;) {
                if (GetMessage(message, 10, quit))
                    ++messages;
                else if (quit)
                    return 11;
                else
                    ++timeouts;
            }
        }
    } thread;
    ASSERT_TRUE(thread.CreateThread(false));
    while (thread.timeouts < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    thread.PostThreadMessage(kRecord, 0, 0);
    thread.PostThreadMessage(WM_QUIT, 0, 0);
    ASSERT_TRUE(thread.WaitForEnd(5000));
    EXPECT_EQ(thread.messages, 1);
    EXPECT_EQ(thread.ExitCode(), 11);
}

TEST(WorkerThread, JoinThreadWaitsForAMessageInFlight)
{
    class SlowThread : public CWorkerThread
    {
    public:
        explicit SlowThread(bool& finished) : m_finished(finished) {}
        ~SlowThread() override
        {
            PostThreadMessage(WM_QUIT, 0, 0);
            JoinThread();
        }

    protected:
        void OnThreadMessage(const ThreadMessage&) override
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            m_log.push_back(1);
            m_finished = true;
        }

    private:
        std::vector<int> m_log;
        bool& m_finished;
    };
    bool finished = false;
    {
        SlowThread thread(finished);
        ASSERT_TRUE(thread.CreateThread(false));
        thread.PostThreadMessage(kRecord, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(finished);
}
