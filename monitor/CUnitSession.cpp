#include "CUnitSession.h"

#include "CBackThread.h"
#include "comm/CModbusInterface.h"
#include "params/PasscodeProtocol.h"

CUnitSession::CUnitSession(CModbusInterface& link, CBackThread& thread)
    : m_link(link)
    , m_thread(thread)
    , m_held(thread.Lock())
{
}

CUnitSession::~CUnitSession()
{
    if (!m_held)
        return;
    m_link.Close();
    m_thread.Unlock();
}

bool CUnitSession::WriteInMode(std::uint16_t mode, QWidget* parent, const std::function<void()>& writes)
{
    if (!m_held || !CheckPasscode(m_link, mode, parent))
        return false;
    try {
        m_link.Connect();
        writes();
        EndWriteMode(m_link);
    } catch (...) {
        // The unit took the passcode and the write mode.
        EndWriteModeQuietly(m_link);
        m_link.Close();
        throw;
    }
    m_link.Close();
    return true;
}
