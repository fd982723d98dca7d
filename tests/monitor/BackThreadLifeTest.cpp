// The polling thread's life around the window: failures and their pacing,
// the stop sequence with a command in flight or queued, the unit address
// changed between commands, the lock that lends the link to the GUI, and the
// simulated load as the monitor sees it.
#include "AnyModelThread.h"
#include "BackThreadFixture.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace {

using Clock = CNotificationLog::Clock;
using namespace std::chrono_literals;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// A loopback port on which nothing listens: connections are refused at once.
int RefusingPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class BackThreadLifeTest : public BackThreadFixture<LinkKind>
{
protected:
    LinkKind Kind() const override { return GetParam(); }
};

TEST_P(BackThreadLifeTest, AFailureKeepsWhatWasReadAndIsNotifiedAllTheSame)
{
    ASSERT_TRUE(m_thread->Start());
    for (int item = 129; item <= 135; ++item)
        m_block.Items[static_cast<std::size_t>(item)] = 42;
    // Every attempt at the first row is refused.
    m_unit.Simulated().InjectFault(CSimulatedUnit::Exception(4), 3);
    Run(CBackThread::CommandMaximum);
    EXPECT_TRUE(m_thread->GetError());
    EXPECT_EQ(m_thread->GetLastCommand(), 3u);
    for (int item = 129; item <= 135; ++item)
        EXPECT_EQ(m_block.Items[static_cast<std::size_t>(item)], 42);
    Run(CBackThread::CommandMaximum);
    EXPECT_FALSE(m_thread->GetError());
    EXPECT_NE(m_block.Items[129], 42);
}

TEST_P(BackThreadLifeTest, StopEndsACommandInFlightOnASilentUnit)
{
    for (bool byDestructor : {false, true}) {
        SCOPED_TRACE(byDestructor ? "destructor" : "Stop");
        ASSERT_TRUE(m_thread->Start());
        m_unit.Simulated().InjectFault(CSimulatedUnit::Silent(), -1);
        const int requests = m_unit.RequestCount();
        const std::size_t notified = m_notified.Count();
        ASSERT_TRUE(m_thread->PostCommand(CBackThread::CommandRealtime));
        ASSERT_TRUE(m_unit.Simulated().WaitForRequests(requests + 1, 5000));
        const auto start = Clock::now();
        if (byDestructor)
            m_thread.reset();
        else
            m_thread->Stop();
        // TCP cuts the pending receive short; the serial link ends after the
        // attempt in progress, without the further attempts.
        const double bound = GetParam() == LinkKind::Tcp ? 300.0 : m_link->GetResponseTimeout() + 300.0;
        EXPECT_LT(Milliseconds(Clock::now() - start), bound);
        EXPECT_EQ(m_notified.Count(), notified) << "no notification once stopped";
        EXPECT_EQ(m_unit.RequestCount(), requests + 1) << "no read after the stop";
        if (!byDestructor) {
            EXPECT_FALSE(m_thread->PostCommand(CBackThread::CommandRealtime));
        }
        m_unit.Simulated().ClearFaults();
        NewThread();
        ResetPseudoTerminal(m_ptyPath);
    }
}

TEST_P(BackThreadLifeTest, ACommandQueuedBeforeTheStopDoesNotConnect)
{
    // The GUI holds the lock, so the thread's start-up and command wait behind it.
    ASSERT_TRUE(m_thread->Lock());
    ASSERT_TRUE(m_thread->Start());
    ASSERT_TRUE(m_thread->PostCommand(CBackThread::CommandIdentification));
    std::this_thread::sleep_for(50ms);
    // Stop releases the lock this thread holds.
    m_thread->Stop();
    EXPECT_EQ(m_unit.RequestCount(), 0);
    EXPECT_EQ(m_unit.Simulated().ConnectionsAccepted(), 0);
    EXPECT_EQ(m_notified.Count(), 0u);
    EXPECT_FALSE(m_thread->IsRunning());

    // A stop before the start holds too.
    CBackThread early;
    early.SetMeasurands(&m_block);
    early.SetLink(m_link.get());
    early.Stop();
    EXPECT_FALSE(early.Start());
    EXPECT_FALSE(early.PostCommand(CBackThread::CommandIdentification));
}

// Over TCP, where the unit answers every address and each request shows the one it was sent to.
class BackThreadAddressTest : public BackThreadLifeTest
{
};

TEST_P(BackThreadAddressTest, TheUnitAddressChangesOnlyBetweenCommands)
{
    ASSERT_TRUE(m_thread->Start());
    const int from = m_unit.RequestCount();
    // The first read is answered late, so the change comes while the command runs.
    m_unit.Simulated().InjectFault(CSimulatedUnit::Delay(150), 1);
    const std::size_t before = m_notified.Count();
    ASSERT_TRUE(m_thread->PostCommand(CBackThread::CommandRealtime));
    ASSERT_TRUE(m_unit.Simulated().WaitForRequests(from + 1, 5000));
    m_thread->SetUnitAddress(7);
    ASSERT_TRUE(m_notified.WaitFor(before + 1));
    EXPECT_FALSE(m_thread->GetError());
    Run(CBackThread::CommandCounters);
    const auto frames = m_unit.Simulated().Requests();
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(from + 13));
    for (int n = from; n < from + 12; ++n)
        EXPECT_EQ(frames[static_cast<std::size_t>(n)][6], 1) << "request " << n;
    EXPECT_EQ(frames.back()[6], 7);

    // The GUI's borrowing of the link takes a pending address along.
    m_thread->SetUnitAddress(9);
    {
        CBackThread::CLock lock(*m_thread);
        EXPECT_EQ(m_link->GetComSettings().Address, 9);
    }
}

TEST_P(BackThreadLifeTest, TheLockKeepsCommandsOffTheLink)
{
    ASSERT_TRUE(m_thread->Start());
    const int from = m_unit.RequestCount();
    {
        CBackThread::CLock lock(*m_thread);
        ASSERT_TRUE(lock.IsHeld());
        // Re-entrant for its owner.
        CBackThread::CLock again(*m_thread);
        ASSERT_TRUE(m_thread->PostCommand(CBackThread::CommandCounters));
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(m_unit.RequestCount(), from);
        EXPECT_EQ(m_notified.Count(), 0u);
    }
    ASSERT_TRUE(m_notified.WaitFor(1));
    EXPECT_EQ(m_unit.RequestCount(), from + 1);
}

TEST_P(BackThreadLifeTest, TheLoadLooksLikeALiveBalancedUnit)
{
    AnyModelThread thread;
    thread.acceptAnyModel = true;
    thread.SetMeasurands(&m_block);
    thread.SetLink(m_link.get());
    ASSERT_TRUE(thread.Start());
    m_unit.SetMonitorModel(6101);
    const auto cycle = [&] {
        for (UINT command : {1u, 2u, 5u}) {
            const std::size_t before = m_notified.Count();
            ASSERT_TRUE(thread.PostCommand(command));
            ASSERT_TRUE(m_notified.WaitFor(before + 1));
            ASSERT_FALSE(thread.GetError());
        }
    };
    const auto degrees = [&](int k) { return m_block.PhaseAngles[static_cast<std::size_t>(k)] * 360.0 / 65536; };
    const auto turned = [](double from, double to) { return std::fmod(to - from + 720.0, 360.0); };

    m_unit.SetLoadTime(0);
    cycle();
    const double u1 = degrees(1);
    const std::int32_t energy = m_block.Items[33];
    for (int k = 0; k < 3; ++k) {
        const double volts = m_block.Items[static_cast<std::size_t>(15 + k)] / 100.0;
        const double amps = m_block.Items[static_cast<std::size_t>(8 + k)] / 1000.0;
        EXPECT_NEAR(volts, 230, 2);
        EXPECT_NEAR(amps, 3.2, 0.2);
        // The phasor diagram's lengths stay within its circle.
        EXPECT_LT(volts / m_block.VoltageScale, 1.0);
        EXPECT_LT(amps / m_block.CurrentScale, 1.0);
        EXPECT_NEAR(m_block.Items[static_cast<std::size_t>(27 + k)] / 10000.0, 0.85, 0.05);
        EXPECT_NEAR(turned(degrees(1), degrees(1 + 2 * k)), 120.0 * k, 0.1) << "voltages 120 degrees apart";
        EXPECT_NEAR(turned(degrees(1 + 2 * k), degrees(2 * k)), 32, 5) << "each current lags its voltage";
    }
    EXPECT_EQ(m_block.GetMeasurandText(CMeasurandsAvo::kItemModelName).toStdString(), "Avo");

    m_unit.SetLoadTime(10);
    cycle();
    EXPECT_NEAR(turned(u1, degrees(1)), 10 * CSimulatedLoad::kTurnDegreesPerSecond, 0.1);
    EXPECT_GT(m_block.Items[33] * 1000LL + static_cast<std::uint32_t>(m_block.Items[61]) / 4294967u,
              energy * 1000LL) << "the energy counts up";
}

TEST(BackThreadPacing, AFailureThatComesAtOnceIsRepeatedNoFasterThanTheTimer)
{
    TempProfile profile;
    CProfile::Reload();
    CModbusInterface link;
    CComSettings settings = link.GetComSettings();
    settings.Mode = CComSettings::ModeTcp;
    settings.ServerAddress = QStringLiteral("127.0.0.1");
    settings.ServicePort = QString::number(RefusingPort());
    link.SetComSettings(settings);
    CMeasurandsAvo block;
    CNotificationLog notified;
    block.AddObserver(&notified);
    CBackThread thread;
    thread.SetMeasurands(&block);
    thread.SetLink(&link);
    ASSERT_TRUE(thread.Start());

    // The window posts the same command again after each notification.
    const auto start = Clock::now();
    for (std::size_t n = 1; n <= 4; ++n) {
        ASSERT_TRUE(thread.PostCommand(CBackThread::CommandIdentification));
        ASSERT_TRUE(notified.WaitFor(n));
        EXPECT_TRUE(thread.GetError());
    }
    const auto times = notified.Times();
    // The first failure shows at once; each repeat waits for the pace. The
    // pace counts from the start of the previous attempt, which the test
    // cannot see, so the n-th repeat is held to n paces from the first post:
    // a slow failed attempt followed by a quick one stays within the rule.
    EXPECT_LT(Milliseconds(times[0] - start), 400.0);
    for (std::size_t n = 1; n < times.size(); ++n)
        EXPECT_GE(Milliseconds(times[n] - start), n * CBackThread::kFailurePaceMs - 20.0) << "repeat " << n;

    // A stop during the pause does not wait it out.
    ASSERT_TRUE(thread.PostCommand(CBackThread::CommandIdentification));
    std::this_thread::sleep_for(50ms);
    const auto stopAt = Clock::now();
    thread.Stop();
    EXPECT_LT(Milliseconds(Clock::now() - stopAt), 300.0);
    EXPECT_EQ(notified.Count(), 4u);
    CProfile::Reload();
}

INSTANTIATE_TEST_SUITE_P(Tcp, BackThreadAddressTest, ::testing::Values(LinkKind::Tcp),
                         [](const auto& info) { return LinkName(info.param); });
INSTANTIATE_TEST_SUITE_P(Links, BackThreadLifeTest, ::testing::Values(LinkKind::Tcp, LinkKind::Serial),
                         [](const auto& info) { return LinkName(info.param); });

} // namespace
