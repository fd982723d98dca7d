#pragma once
// The mutex that serialises the users of one link. Recursive for its owner;
// a release by a thread that does not own it does nothing.
#include "platform/CRecursiveMutex.h"

#include <condition_variable>
#include <mutex>

class CMutexHandle
{
public:
    // The name is kept for the callers' sake; every mutex is private.
    explicit CMutexHandle(const char* name = nullptr);
    // Releases what this thread holds, then waits until another thread that
    // holds it has released it; threads still waiting for it return false.
    // Nobody may call Wait or Release once the destructor has returned.
    ~CMutexHandle();
    CMutexHandle(const CMutexHandle&) = delete;
    CMutexHandle& operator=(const CMutexHandle&) = delete;

    // True when acquired (also from an owner that died); false on time-out,
    // on a failed wait, when the mutex could not be made, or once it is
    // being destroyed. timeoutMs < 0: no limit.
    bool Wait(int timeoutMs);
    void Release();

private:
    CRecursiveMutex m_mutex;
    std::mutex m_stateLock;
    std::condition_variable m_idle;
    int m_waiters = 0;
    bool m_closing = false;
};

inline constexpr int INFINITE_WAIT = -1;
