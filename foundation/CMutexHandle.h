#pragma once
// The mutex that serialises the users of one link. Recursive for its owner;
// a release by a thread that does not own it does nothing.
#include "platform/CRecursiveMutex.h"

class CMutexHandle
{
public:
    // The name is kept for the callers' sake; every mutex is private.
    explicit CMutexHandle(const char* name = nullptr);
    // Releases first (when this thread holds it).
    ~CMutexHandle();
    CMutexHandle(const CMutexHandle&) = delete;
    CMutexHandle& operator=(const CMutexHandle&) = delete;

    // True when acquired (also from an owner that died); false on time-out,
    // on a failed wait, or when the mutex could not be made. timeoutMs < 0: no limit.
    bool Wait(int timeoutMs);
    void Release();

private:
    CRecursiveMutex m_mutex;
};

inline constexpr int INFINITE_WAIT = -1;
