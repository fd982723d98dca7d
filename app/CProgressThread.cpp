#include "CProgressThread.h"

#include "comm/CModbusInterface.h"
#include "params/CSettings.h"
#include "platform/CException.h"
#include "platform/RunCommand.h"
#include "platform/SystemErrorText.h"

#include <cerrno>
#include <new>

CProgressThread::~CProgressThread()
{
    JoinThread();
}

bool CProgressThread::OnProgress(void* context, double percent)
{
    auto* thread = static_cast<CProgressThread*>(context);
    thread->m_percent.store(percent);
    thread->NotifyObservers();
    return !thread->m_cancel.load();
}

QString CProgressThread::GetErrorText() const
{
    const std::lock_guard guard(m_errorLock);
    return m_errorText;
}

void CProgressThread::SetErrorText(const QString& text)
{
    const std::lock_guard guard(m_errorLock);
    m_errorText = text;
}

bool CProgressThread::InitInstance()
{
    try {
        m_link->Connect();
        if (m_direction == Download)
            m_set->Download(*m_link, &CProgressThread::OnProgress, this);
        else
            m_set->Upload(*m_link, &CProgressThread::OnProgress, this);
    } catch (const CException& e) {
        SetErrorText(GetExceptionText(e, ERROR_TEXT_SIZE).value_or(QString()));
    } catch (const std::bad_alloc&) {
        SetErrorText(SystemErrorText(ENOMEM));
    }
    // The link is closed on every path before the end is reported.
    try {
        m_link->Close();
    } catch (const CException&) {
    }
    m_done.store(true);
    NotifyObservers();
    return false;
}
