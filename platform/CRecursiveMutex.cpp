#include "CRecursiveMutex.h"

#include <cerrno>
#include <ctime>

CRecursiveMutex::CRecursiveMutex()
{
    pthread_mutexattr_t attributes;
    if (pthread_mutexattr_init(&attributes) != 0)
        return;
    m_valid = pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE) == 0
        && pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST) == 0
        && pthread_mutex_init(&m_mutex, &attributes) == 0;
    pthread_mutexattr_destroy(&attributes);
}

CRecursiveMutex::~CRecursiveMutex()
{
    if (m_valid)
        pthread_mutex_destroy(&m_mutex);
}

CRecursiveMutex::WaitResult CRecursiveMutex::Wait(int timeoutMs)
{
    if (!m_valid)
        return WaitResult::Failed;

    int result = 0;
    if (timeoutMs < 0) {
        result = pthread_mutex_lock(&m_mutex);
    } else {
        // The monotonic clock: a change of the wall clock does not stretch the wait.
        timespec deadline{};
        clock_gettime(CLOCK_MONOTONIC, &deadline);
        deadline.tv_sec += timeoutMs / 1000;
        deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L) {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000L;
        }
        result = pthread_mutex_clocklock(&m_mutex, CLOCK_MONOTONIC, &deadline);
    }

    switch (result) {
    case 0:
        return WaitResult::Acquired;
    case EOWNERDEAD:
        // The owner died holding it: the waiter now owns it, and makes it usable again.
        pthread_mutex_consistent(&m_mutex);
        return WaitResult::Abandoned;
    case ETIMEDOUT:
        return WaitResult::TimedOut;
    default:
        return WaitResult::Failed;
    }
}

bool CRecursiveMutex::Release()
{
    // A robust mutex refuses (EPERM) an unlock by a thread that does not own it.
    return m_valid && pthread_mutex_unlock(&m_mutex) == 0;
}
