#include "CProgressDialog.h"

#include "CProgressThread.h"
#include "comm/CModbusInterface.h"
#include "foundation/CMessageFormatter.h"
#include "foundation/CPrivateException.h"
#include "foundation/DialogHelpers.h"
#include "foundation/Globals.h"
#include "platform/DialogFrame.h"
#include "platform/MessageFormat.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QtGlobal>

#include <cerrno>

namespace {

constexpr int kTimerMs = 500;
// The thread reports 0 to 100 %, the bar counts to kBarRange.
constexpr double kBarPerPercent = CProgressDialog::kBarRange / 100.0;
// How long the end of the thread is awaited before it is worth a warning.
constexpr int kJoinWarningMs = 10000;

// The signal icon of a level: 0 to 3 lit bars of rising height.
QIcon MakeSignalIcon(int level, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const int bars = 3;
    const int gap = qMax(1, size / 16);
    const int width = qMax(1, (size - gap * (bars + 1)) / bars);
    for (int i = 0; i < bars; ++i) {
        const int height = size * (i + 2) / (bars + 1);
        const QRect bar(gap + i * (width + gap), size - height, width, height);
        painter.fillRect(bar, i < level ? QColor(0, 160, 0) : QColor(192, 192, 192));
    }
    painter.end();
    return QIcon(pixmap);
}

} // namespace

CProgressDialog::CProgressDialog(QWidget* parent)
    : CObserverDialog(IDD, parent)
{
    UseDialogFrame(this);
    setWindowTitle(QStringLiteral("Processing..."));
    m_caption = AddControl(new QLabel(this), IDC_CAPTION);
    m_progress = AddControl(new QProgressBar(this), IDC_PROGRESS);
    m_progress->setTextVisible(false);
    m_rate = AddControl(new QLabel(this), IDC_RATE);
    m_rate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_rate->hide();
    m_signal = AddControl(new QLabel(this), IDC_SIGNAL);
    m_signal->hide();
    auto* cancel = AddControl(new QPushButton(QStringLiteral("Cancel"), this), IDCANCEL);
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_signal);
    bottom->addWidget(m_rate);
    bottom->addStretch(1);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_progress);
    layout->addLayout(bottom);
    setMinimumWidth(320);

    m_timer = new QTimer(this);
    m_timer->setInterval(kTimerMs);
    connect(m_timer, &QTimer::timeout, this, [this] { OnTimer(); });
}

CProgressDialog::~CProgressDialog()
{
    // Only when the window ends abnormally is a thread still here: stop it
    // and wait, as it borrows the caller's link and this window's set.
    if (m_thread) {
        m_thread->Cancel();
        if (m_link)
            m_link->Abort();
        m_thread->WaitForEnd(-1);
    }
}

bool CProgressDialog::StartUpload(CModbusInterface& link, CSettings& target)
{
    if (!RunTransfer(link, CProgressThread::Upload))
        return false;
    target = m_set;
    return true;
}

bool CProgressDialog::StartDownload(CModbusInterface& link, const CSettings& source)
{
    m_set = source;
    return RunTransfer(link, CProgressThread::Download);
}

bool CProgressDialog::RunTransfer(CModbusInterface& link, int direction)
{
    m_direction = direction;
    m_link = &link;
    m_errorText.clear();
    if (DoModal() != IDOK)
        return false;
    if (!m_errorText.isEmpty())
        throw CPrivateException(m_errorText);
    return true;
}

std::unique_ptr<CProgressThread> CProgressDialog::CreateThread(CModbusInterface& link, CSettings& set,
                                                               CObserver* observer, int direction)
{
    auto thread = std::make_unique<CProgressThread>();
    if (!thread->CreateThread(true))
        throw CPrivateException(CMessageFormatter(EAGAIN));
    thread->m_direction = direction;
    thread->m_link = &link;
    thread->m_set = &set;
    thread->AddObserver(observer);
    thread->ResumeThread();
    return thread;
}

std::unique_ptr<CProgressThread> CProgressDialog::CreateReadThread(CModbusInterface& link, CSettings& set,
                                                                   CObserver* observer)
{
    return CreateThread(link, set, observer, CProgressThread::Upload);
}

std::unique_ptr<CProgressThread> CProgressDialog::CreateWriteThread(CModbusInterface& link, CSettings& set,
                                                                    CObserver* observer)
{
    return CreateThread(link, set, observer, CProgressThread::Download);
}

bool CProgressDialog::OnInitDialog()
{
    g_resourceDatabase.ApplyDialogTexts(IDD, this);
    SetDialogFont(this, false);
    m_progress->setRange(0, kBarRange);
    m_progress->setValue(0);

    QString caption;
    if (m_direction == CProgressThread::Download) {
        m_thread = CreateWriteThread(*m_link, m_set, this);
        caption = g_resourceDatabase.GetMessageText(QStringLiteral("MSG_DOWNLOADING"));
    } else {
        m_thread = CreateReadThread(*m_link, m_set, this);
        caption = g_resourceDatabase.GetMessageText(QStringLiteral("MSG_UPLOADING"));
    }
    m_caption->setText(caption);

    if (IsInfraredLink()) {
        m_rate->show();
        m_signal->show();
        const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
        for (int level = 0; level < static_cast<int>(m_signalIcons.size()); ++level)
            m_signalIcons[level] = MakeSignalIcon(level, size);
    }
    m_timer->start();
    return true;
}

bool CProgressDialog::IsInfraredLink() const
{
    return m_link && m_link->GetComSettings().Mode == CComSettings::ModeInfrared;
}

int CProgressDialog::SignalLevel(double rate)
{
    if (rate >= 80.0)
        return 3;
    if (rate >= 40.0)
        return 2;
    if (rate > 0.0)
        return 1;
    return 0;
}

void CProgressDialog::OnTimer()
{
    if (!m_link)
        return;
    const double rate = m_link->GetSuccessRate();
    m_rate->setText(FormatDouble("%.1lf", rate));
    if (IsInfraredLink()) {
        const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
        m_signal->setPixmap(m_signalIcons[SignalLevel(rate)].pixmap(size, size));
    }
}

void CProgressDialog::OnCancel()
{
    if (!m_thread)
        return;
    m_thread->Cancel();
    m_link->Abort();
}

void CProgressDialog::OnUpdateObserver(CObservable* notifier)
{
    // A notification can still arrive after the thread has been joined (it
    // was queued before); it then names nothing of ours.
    if (!m_thread || notifier != static_cast<CObservable*>(m_thread.get()))
        return;
    if (!m_thread->IsDone()) {
        // Up, down, up: the bar jumps to its place without growing there.
        const int p = static_cast<int>(m_thread->GetPercent() * kBarPerPercent);
        m_progress->setValue(p + 1);
        m_progress->setValue(p);
        m_progress->setValue(p + 1);
        return;
    }
    const bool cancelled = m_thread->IsCancelled();
    m_errorText = m_thread->GetErrorText();
    // Done is reported after the link was closed, so the thread ends at once;
    // it is never destroyed while it may still run.
    if (!m_thread->WaitForEnd(kJoinWarningMs)) {
        qWarning("The transfer thread did not end within %d ms after reporting its end", kJoinWarningMs);
        m_thread->WaitForEnd(-1);
    }
    m_thread.reset();
    m_timer->stop();
    EndDialog(cancelled ? IDCANCEL : IDOK);
}
