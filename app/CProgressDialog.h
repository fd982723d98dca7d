#pragma once
// The transfer window: runs an upload or a download of a whole
// parameter set in a CProgressThread, moves its bar, shows the link's success
// rate and signal on the infrared link, and lets the user cancel.
#include "foundation/CObserverDialog.h"
#include "foundation/CResourceManager.h"
#include "params/CSettings.h"

#include <QIcon>
#include <QString>

#include <array>
#include <memory>

class CModbusInterface;
class CProgressThread;
class QLabel;
class QProgressBar;
class QTimer;

class CProgressDialog : public CObserverDialog, public CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 143;
    static constexpr int IDC_PROGRESS = 1073;
    static constexpr int IDC_CAPTION = 1074;
    static constexpr int IDC_RATE = 1102;
    static constexpr int IDC_SIGNAL = 1103;
    static constexpr int kBarRange = 30000;

    explicit CProgressDialog(QWidget* parent = nullptr);
    ~CProgressDialog() override;

    // Reads the unit's set into target. False when the user cancelled (target
    // untouched); throws CPrivateException with the transfer's error text.
    bool StartUpload(CModbusInterface& link, CSettings& target);
    // Writes source to the unit. False when the user cancelled; throws on failure.
    bool StartDownload(CModbusInterface& link, const CSettings& source);

    static std::unique_ptr<CProgressThread> CreateReadThread(CModbusInterface& link, CSettings& set,
                                                             CObserver* observer);
    static std::unique_ptr<CProgressThread> CreateWriteThread(CModbusInterface& link, CSettings& set,
                                                              CObserver* observer);

    // The signal icon for a success rate: 0 to 3 lit bars.
    static int SignalLevel(double rate);

protected:
    bool OnInitDialog() override;
    // Cancel, Esc and the close box: ask the transfer to stop; the window
    // stays until the thread has ended.
    void OnCancel() override;
    // Enter does not end the window either.
    void OnOK() override {}
    void OnUpdateObserver(CObservable* notifier) override;

private:
    bool RunTransfer(CModbusInterface& link, int direction);
    void OnTimer();
    bool IsInfraredLink() const;
    static std::unique_ptr<CProgressThread> CreateThread(CModbusInterface& link, CSettings& set, CObserver* observer,
                                                         int direction);

    std::unique_ptr<CProgressThread> m_thread;
    CModbusInterface* m_link = nullptr;
    CSettings m_set;
    int m_direction = 0;
    QString m_errorText;
    std::array<QIcon, 4> m_signalIcons;
    QTimer* m_timer = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_caption = nullptr;
    QLabel* m_rate = nullptr;
    QLabel* m_signal = nullptr;
};
