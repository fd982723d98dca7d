#pragma once
// A mutex with the semantics of a Win32 mutex, which several owners rely on:
// recursive for the owning thread; a release by a thread that does not own
// it does nothing; a mutex whose owner thread died counts as acquired by the
// next waiter. Built on a robust recursive pthread mutex.
#include <pthread.h>

class CRecursiveMutex
{
public:
    CRecursiveMutex();
    ~CRecursiveMutex();
    CRecursiveMutex(const CRecursiveMutex&) = delete;
    CRecursiveMutex& operator=(const CRecursiveMutex&) = delete;

    // False when the mutex could not be made; every Wait then fails.
    bool IsValid() const { return m_valid; }
    enum class WaitResult { Acquired, Abandoned, TimedOut, Failed };
    // timeoutMs < 0 waits without limit. Abandoned means acquired from a dead owner.
    WaitResult Wait(int timeoutMs);
    // Releases one level of ownership; false (and nothing done) when not owned by the caller.
    bool Release();

private:
    pthread_mutex_t m_mutex{};
    bool m_valid = false;
};
