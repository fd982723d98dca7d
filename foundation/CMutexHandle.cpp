#include "CMutexHandle.h"

CMutexHandle::CMutexHandle(const char*) {}

CMutexHandle::~CMutexHandle()
{
    m_mutex.Release();
}

bool CMutexHandle::Wait(int timeoutMs)
{
    // A mutex that could not be made, or a wait that failed, never counts as
    // acquired: the exclusion it stands for would silently be gone.
    switch (m_mutex.Wait(timeoutMs)) {
    case CRecursiveMutex::WaitResult::Acquired:
    case CRecursiveMutex::WaitResult::Abandoned:
        return true;
    default:
        return false;
    }
}

void CMutexHandle::Release()
{
    // Nothing happens when this thread does not hold it.
    m_mutex.Release();
}
