#include "platform/CRecursiveMutex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using Result = CRecursiveMutex::WaitResult;

namespace {
template <class F> auto OnOtherThread(F f)
{
    decltype(f()) result{};
    std::thread([&] { result = f(); }).join();
    return result;
}
} // namespace

TEST(RecursiveMutex, RecursiveForTheOwnerAndTimedForOthers)
{
    CRecursiveMutex mutex;
    ASSERT_TRUE(mutex.IsValid());
    EXPECT_EQ(mutex.Wait(0), Result::Acquired);
    EXPECT_EQ(mutex.Wait(-1), Result::Acquired);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(OnOtherThread([&] { return mutex.Wait(80); }), Result::TimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(80));

    EXPECT_TRUE(mutex.Release());
    EXPECT_EQ(OnOtherThread([&] { return mutex.Wait(0); }), Result::TimedOut) << "still held once";
    EXPECT_TRUE(mutex.Release());
    EXPECT_FALSE(mutex.Release()) << "no longer owned";
    EXPECT_TRUE(OnOtherThread([&] {
        const bool acquired = mutex.Wait(0) == Result::Acquired;
        return acquired && mutex.Release();
    }));
}

TEST(RecursiveMutex, ReleaseByAnotherThreadDoesNothing)
{
    CRecursiveMutex mutex;
    ASSERT_EQ(mutex.Wait(-1), Result::Acquired);
    EXPECT_FALSE(OnOtherThread([&] { return mutex.Release(); }));
    EXPECT_EQ(OnOtherThread([&] { return mutex.Wait(20); }), Result::TimedOut);
    EXPECT_TRUE(mutex.Release());
}

TEST(RecursiveMutex, OwnerThatDiedLeavesItAbandonedToTheNextWaiter)
{
    CRecursiveMutex mutex;
    std::thread([&] { mutex.Wait(-1); }).join();
    EXPECT_EQ(mutex.Wait(1000), Result::Abandoned);
    EXPECT_TRUE(mutex.Release());
    EXPECT_EQ(mutex.Wait(0), Result::Acquired) << "usable again";
    EXPECT_TRUE(mutex.Release());
}
