#include "foundation/CMutexHandle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {
template <class F> bool OnOtherThread(F f)
{
    bool result = false;
    std::thread([&] { result = f(); }).join();
    return result;
}
} // namespace

TEST(MutexHandle, OwnerRecursesOthersTimeOut)
{
    CMutexHandle mutex;
    EXPECT_TRUE(mutex.Wait(INFINITE_WAIT));
    EXPECT_TRUE(mutex.Wait(0));
    EXPECT_FALSE(OnOtherThread([&] { return mutex.Wait(50); }));
    mutex.Release();
    EXPECT_FALSE(OnOtherThread([&] { return mutex.Wait(0); })) << "held once more";
    mutex.Release();
    EXPECT_TRUE(OnOtherThread([&] {
        const bool acquired = mutex.Wait(0);
        mutex.Release();
        return acquired;
    }));
}

TEST(MutexHandle, ReleaseByANonOwnerDoesNothing)
{
    CMutexHandle mutex;
    ASSERT_TRUE(mutex.Wait(INFINITE_WAIT));
    OnOtherThread([&] {
        mutex.Release();
        mutex.Release();
        return true;
    });
    EXPECT_FALSE(OnOtherThread([&] { return mutex.Wait(20); }));
    mutex.Release();
    // Releasing more often than taken is harmless too.
    mutex.Release();
    EXPECT_TRUE(mutex.Wait(0));
    mutex.Release();
}

TEST(MutexHandle, AMutexAbandonedByADeadOwnerIsAcquired)
{
    CMutexHandle mutex;
    OnOtherThread([&] { return mutex.Wait(INFINITE_WAIT); });
    EXPECT_TRUE(mutex.Wait(1000));
    mutex.Release();
    EXPECT_TRUE(OnOtherThread([&] {
        const bool acquired = mutex.Wait(0);
        mutex.Release();
        return acquired;
    })) << "free again after the one release";
}

TEST(MutexHandle, DestroyingWaitsForTheHolderAndTurnsWaitersAway)
{
    auto mutex = std::make_unique<CMutexHandle>();
    std::atomic<bool> held{false}, released{false};
    std::atomic<int> waiterResult{-1};
    std::thread holder([&, raw = mutex.get()] {
        raw->Wait(INFINITE_WAIT);
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        released = true;
        raw->Release();
    });
    while (!held)
        std::this_thread::yield();
    std::thread waiter([&, raw = mutex.get()] { waiterResult = raw->Wait(INFINITE_WAIT) ? 1 : 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    mutex.reset();
    EXPECT_TRUE(released) << "destroyed under its holder";
    holder.join();
    waiter.join();
    EXPECT_EQ(waiterResult, 0);
}
