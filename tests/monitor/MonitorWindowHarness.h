#pragma once
// Runs the monitor window against the simulated unit: a polling thread that
// records the commands it is given (and can hold one back), a window that
// uses it, and a place for the pictures a person may look at.
#include "AnyModelThread.h"
#include "monitor/CMyDalvexDlg.h"

#include "foundation/CPrivateException.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

class RecordingThread : public AnyModelThread
{
public:
    using Clock = std::chrono::steady_clock;
    struct Posted
    {
        UINT command;
        int argument;
        Clock::time_point at;
    };

    RecordingThread() : AnyModelThread(ModelWords::Kept) { acceptAnyModel = true; }
    ~RecordingThread() override
    {
        Release();
        Stop();
    }

    std::vector<Posted> Commands()
    {
        std::lock_guard lock(m_lock);
        return m_commands;
    }
    // The commands from the first command 1 at or after index from to the next command 1.
    std::vector<UINT> Cycle(std::size_t from)
    {
        std::vector<UINT> cycle;
        const std::vector<Posted> all = Commands();
        std::size_t i = from;
        while (i < all.size() && all[i].command != CommandIdentification)
            ++i;
        for (; i < all.size(); ++i) {
            if (!cycle.empty() && all[i].command == CommandIdentification)
                return cycle;
            cycle.push_back(all[i].command);
        }
        return {};
    }

    // When each identification began (after the link was connected).
    std::vector<Clock::time_point> Identifications()
    {
        std::lock_guard lock(m_lock);
        return m_identifications;
    }

    // The next command of this number waits until Release (or the stop).
    void Hold(UINT command)
    {
        std::lock_guard lock(m_lock);
        m_hold = command;
        m_holding = false;
    }
    bool IsHolding()
    {
        std::lock_guard lock(m_lock);
        return m_holding;
    }
    void Release()
    {
        std::lock_guard lock(m_lock);
        m_hold = 0;
        m_released.notify_all();
    }

protected:
    void OnThreadMessage(const ThreadMessage& message) override
    {
        const auto command = static_cast<UINT>(message.wParam);
        {
            std::unique_lock lock(m_lock);
            m_commands.push_back({command, static_cast<int>(message.lParam), Clock::now()});
            if (command != CommandQuit && command == m_hold) {
                m_holding = true;
                while (m_hold == command && IsRunning())
                    m_released.wait_for(lock, std::chrono::milliseconds(20));
                m_holding = false;
            }
        }
        CBackThread::OnThreadMessage(message);
    }
    void IdentifyUnit(CModbusInterface& link, CDeviceType& deviceType) override
    {
        {
            std::lock_guard lock(m_lock);
            m_identifications.push_back(Clock::now());
        }
        AnyModelThread::IdentifyUnit(link, deviceType);
    }

private:
    std::mutex m_lock;
    std::condition_variable m_released;
    std::vector<Posted> m_commands;
    std::vector<Clock::time_point> m_identifications;
    UINT m_hold = 0;
    bool m_holding = false;
};

class TestMonitor : public CMyDalvexDlg
{
public:
    RecordingThread* Thread() const { return m_recording; }
    bool acceptAnyModel = true;
    // As the close box does.
    void Close() { reject(); }

    // Runs the window on the link; script runs inside its modal loop and must end it.
    int Run(CModbusInterface& link, std::function<void()> script, int limitMs = 30000)
    {
        QTimer::singleShot(0, this, [this, script = std::move(script), limitMs] {
            QTimer::singleShot(limitMs, this, [this] {
                ADD_FAILURE() << "monitor left open";
                reject();
            });
            script();
        });
        return RunModal(link);
    }

protected:
    std::unique_ptr<CBackThread> CreatePollingThread() override
    {
        auto thread = std::make_unique<RecordingThread>();
        thread->acceptAnyModel = acceptAnyModel;
        m_recording = thread.get();
        return thread;
    }

private:
    RecordingThread* m_recording = nullptr;
};

// Processes events until done() or the limit; true when done.
inline bool WaitUntil(const std::function<bool()>& done, int limitMs = 15000)
{
    return QTest::qWaitFor(done, limitMs);
}

// Pictures of the monitor go under the build folder for a person to look at.
inline void SavePicture(QWidget* widget, const QString& name)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/monitor-pictures");
    QDir().mkpath(folder);
    EXPECT_TRUE(widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"))) << name.toStdString();
}
