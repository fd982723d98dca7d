#pragma once
// The worker of the transfer window: connects the link, runs one upload or
// download of a parameter set, closes the link and reports the end. It never
// touches a window; the window observes it.
#include "foundation/CObservable.h"
#include "platform/CWorkerThread.h"

#include <QString>

#include <atomic>
#include <mutex>

class CModbusInterface;
class CSettings;

class CProgressThread : public CWorkerThread, public CObservable
{
public:
    enum Direction { Upload = 0, Download = 1 };
    // The buffer a failure's text is fetched into, terminator included: the
    // transfer keeps up to 255 characters of it.
    static constexpr unsigned ERROR_TEXT_SIZE = 256;

    CProgressThread() = default;
    // Waits for the transfer to end: the link it borrows and the members the
    // transfer reports into are never used after this object is gone.
    ~CProgressThread() override;

    // Set while the thread is suspended.
    int m_direction = Upload;
    CModbusInterface* m_link = nullptr; // borrowed
    CSettings* m_set = nullptr;         // borrowed

    // The progress callback of upload and download; context is the thread.
    static bool OnProgress(void* context, double percent);

    double GetPercent() const { return m_percent.load(); }
    bool IsDone() const { return m_done.load(); }
    bool IsCancelled() const { return m_cancel.load(); }
    // Asks the transfer to stop at its next progress report.
    void Cancel() { m_cancel.store(true); }
    // Empty unless the transfer failed.
    QString GetErrorText() const;

protected:
    // Does the whole transfer; false ends the thread.
    bool InitInstance() override;

private:
    void SetErrorText(const QString& text);

    std::atomic<double> m_percent{0.0};
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_cancel{false};
    mutable std::mutex m_errorLock;
    QString m_errorText;
};
