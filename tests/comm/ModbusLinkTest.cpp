// The link's life cycle over TCP and the serial port: the watchdog, cancels,
// late and split replies, lost peers, reconnects and bounded connects.
#include "CommTestSupport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using History = std::deque<std::uint8_t>;

namespace
{
long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Runs fn on another thread, calling Abort on link until it has returned.
QString AbortWhileRunning(CModbusInterface& link, const std::function<void()>& fn)
{
    auto result = std::async(std::launch::async, [&] { return CommTest::ErrorOfPublic(fn); });
    while (result.wait_for(10ms) != std::future_status::ready)
        link.Abort();
    return result.get();
}

// Waits until the unit has sent `count` late replies and they have had time to arrive.
bool LateRepliesSent(const CSimulatedUnit& unit, int count)
{
    for (int i = 0; i < 300 && unit.DelayedRepliesSent() < count; ++i)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(20ms);
    return unit.DelayedRepliesSent() == count;
}
} // namespace


TEST_F(CommTest, WatchdogCutsSilentTcpUnitShort)
{
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->Connect();
    ASSERT_TRUE(link->HasWatchdog());
    m_unit.InjectFault(CSimulatedUnit::Silent(), 3);
    std::uint16_t word = 0;
    const auto start = Clock::now();
    EXPECT_EQ(ErrorOf([&] { link->ReadRegisters(0, 1, &word); }).toStdString(), "ReadHoldingRegister at 1 count 1: timeout");
    // Three periods; the socket's own backstop would take a second longer each.
    const long long elapsed = MsSince(start);
    EXPECT_GE(elapsed, 3 * static_cast<long long>(kTestWaitCapMs) - 30);
    EXPECT_LT(elapsed, 3 * static_cast<long long>(kTestWaitCapMs) + 900);
    EXPECT_EQ(m_unit.RequestCount(), 3);
    // The connection stays open and the next call goes through.
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(m_unit.ConnectionsAccepted(), 1);
}

TEST_F(CommTest, LateRepliesDoNotPoisonLaterCalls)
{
    const int port = m_unit.StartTcp();
    m_unit.SetRegisters(0, {42});
    auto link = TcpLink(port);
    link->Connect();
    std::uint16_t word = 0;

    // The first attempt's reply comes after its time-out; the second succeeds.
    m_unit.InjectFault(CSimulatedUnit::Delay(static_cast<int>(kTestWaitCapMs) + 150), 1);
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(link->GetResultHistory(), (History{0, 1}));
    // Once the late reply sits in the socket, the next call still reads its own.
    ASSERT_TRUE(LateRepliesSent(m_unit, 1));
    word = 0;
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(word, 42);
    EXPECT_EQ(link->GetResultHistory(), (History{0, 1, 1}));

    // A whole call lost to late replies leaves the link in step as well.
    m_unit.InjectFault(CSimulatedUnit::Delay(static_cast<int>(kTestWaitCapMs) * 4), 3);
    EXPECT_NE(ErrorOf([&] { link->ReadRegisters(0, 1, &word); }), QStringLiteral("<none>"));
    ASSERT_TRUE(LateRepliesSent(m_unit, 4));
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(word, 42);
    EXPECT_EQ(link->GetResultHistory().back(), 1);
    EXPECT_EQ(m_unit.RequestCount(), 2 + 1 + 3 + 1);
}

TEST_F(CommTest, LateSerialReplyIsDroppedBeforeTheNextRequest)
{
    const QString path = m_unit.StartRtu();
    m_unit.SetRegisters(0, {42, 7});
    auto link = RtuLink(path);
    link->Connect();
    link->SetSingleAttempt(true);
    std::uint16_t word = 0;
    m_unit.InjectFault(CSimulatedUnit::Delay(static_cast<int>(kTestWaitCapMs) + 100), 1);
    EXPECT_EQ(ErrorOf([&] { link->ReadRegisters(0, 1, &word); }).toStdString(), "ReadHoldingRegister at 1 count 1: timeout");
    ASSERT_TRUE(LateRepliesSent(m_unit, 1));
    // The late reply has the length and a good checksum of the next one's.
    ASSERT_TRUE(link->ReadRegisters(1, 1, &word));
    EXPECT_EQ(word, 7);
}

TEST_F(CommTest, SplitTcpRepliesAreGatheredWhole)
{
    const int port = m_unit.StartTcp();
    m_unit.SetRegisters(0, {1, 2, 3, 4, 5});
    auto link = TcpLink(port);
    link->Connect();
    std::uint16_t words[5] = {};
    for (const int first : {1, 5, 6, 7, 12}) {
        m_unit.InjectFault(CSimulatedUnit::SplitTcp(first, 40), 1);
        std::fill(words, words + 5, 0);
        ASSERT_TRUE(link->ReadRegisters(0, 5, words)) << first;
        EXPECT_EQ(words[4], 5) << first;
    }
    // An exception reply split in two is whole at nine bytes.
    m_unit.InjectFault(CSimulatedUnit::Exception(2), 3);
    m_unit.InjectFault(CSimulatedUnit::SplitTcp(7, 40), 0);
    EXPECT_EQ(ErrorOf([&] { link->ReadRegisters(0, 5, words); }).toStdString(),
              "ReadHoldingRegister at 1 count 5: exception 2");
    EXPECT_EQ(link->GetResultHistory(), (History{1, 1, 1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(m_unit.RequestCount(), 8);
}

TEST_F(CommTest, AbortEndsATcpReadFromAnotherThread)
{
    CModbusInterface::SetWaitCapForTests(0); // the production five seconds
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->Connect();
    m_unit.InjectFault(CSimulatedUnit::Silent(), -1);
    std::uint16_t word = 0;
    const auto start = Clock::now();
    const QString text = AbortWhileRunning(*link, [&] { link->ReadRegisters(0, 1, &word); });
    EXPECT_LT(MsSince(start), 2000);
    // The cut receive ends as a time-out, and the flag stops the retries.
    EXPECT_EQ(text.toStdString(), "ReadHoldingRegister at 1 count 1: timeout");
    EXPECT_EQ(m_unit.RequestCount(), 1);
    EXPECT_EQ(link->GetResultHistory(), (History{0}));

    // An abort with no pending call does nothing: the next call runs normally.
    m_unit.ClearFaults();
    link->Abort();
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
}

TEST_F(CommTest, AbortEndsASerialReadWithAnEmptyText)
{
    CModbusInterface::SetWaitCapForTests(0);
    const QString path = m_unit.StartRtu();
    auto link = RtuLink(path);
    link->Connect();
    // The reply still comes in time; the read then ends with an empty text.
    m_unit.InjectFault(CSimulatedUnit::Delay(200), 1);
    std::uint16_t word = 0;
    const QString text = AbortWhileRunning(*link, [&] { link->ReadRegisters(0, 1, &word); });
    EXPECT_TRUE(text.isEmpty()) << text.toStdString();
    EXPECT_EQ(m_unit.RequestCount(), 1);
    EXPECT_EQ(link->GetResultHistory(), (History{0}));

    // A write does not look at the flag after its reply.
    m_unit.InjectFault(CSimulatedUnit::Delay(200), 1);
    const QString written = AbortWhileRunning(*link, [&] { link->WriteRegisters(0, 1, &word); });
    EXPECT_EQ(written.toStdString(), "<none>");
}

TEST_F(CommTest, LostPeerNeverRaisesSigpipeAndTheLinkReconnects)
{
    const int port = m_unit.StartTcp();
    m_unit.SetRegisters(0, {11});
    auto link = TcpLink(port);
    link->Connect();
    std::uint16_t word = 0;
    m_unit.InjectFault(CSimulatedUnit::DropConnection(), 1);
    const auto start = Clock::now();
    EXPECT_EQ(ErrorOf([&] { link->ReadRegisters(0, 1, &word); }).toStdString(), "ReadHoldingRegister at 1 count 1: timeout");
    EXPECT_LT(MsSince(start), 3 * static_cast<long long>(kTestWaitCapMs)); // a closed peer ends each attempt at once
    // Still alive after sending on a dead connection; a new connect works.
    link->Connect();
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(word, 11);
    EXPECT_EQ(m_unit.ConnectionsAccepted(), 2);

    m_unit.DropConnections();
    EXPECT_NE(ErrorOf([&] { link->ReadRegisters(0, 1, &word); }), QStringLiteral("<none>"));
    link->Close();
    link->Connect();
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
}

TEST_F(CommTest, ConnectTwiceKeepsOneConnectionAndOneWatchdog)
{
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->Connect();
    link->Connect();
    EXPECT_TRUE(link->HasWatchdog());
    std::uint16_t word = 0;
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(m_unit.ConnectionsAccepted(), 2);
    link->Close();
    EXPECT_FALSE(link->HasWatchdog());
    link->Close();
}

TEST_F(CommTest, ClosedTcpLinkFailsAsTimeoutWithoutAWatchdog)
{
    auto never = TcpLink(1);
    never->Close(); // harmless on a link that was never open
    EXPECT_FALSE(never->HasWatchdog());
    std::uint16_t word = 0;
    const auto start = Clock::now();
    EXPECT_EQ(ErrorOf([&] { never->ReadRegisters(0, 1, &word); }).toStdString(), "ReadHoldingRegister at 1 count 1: timeout");
    EXPECT_LT(MsSince(start), 500);
    EXPECT_EQ(never->GetResultHistory(), (History{0, 0, 0}));
}

TEST_F(CommTest, ConnectFailuresCarryTheSystemText)
{
    // A port nobody listens on.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    const int closedPort = ntohs(address.sin_port);
    ::close(probe);

    auto link = TcpLink(closedPort);
    const QString refused = ErrorOf([&] { link->Connect(); });
    EXPECT_TRUE(refused.startsWith(QStringLiteral("tcp: "))) << refused.toStdString();
    EXPECT_TRUE(refused.contains(QString::fromLocal8Bit(std::strerror(ECONNREFUSED)))) << refused.toStdString();
    EXPECT_FALSE(link->HasWatchdog());

    // Resolver failures carry the resolver's text (no name server is asked here).
    link->GetComSettings().ServicePort = QStringLiteral("no-such-service");
    const QString unresolved = ErrorOf([&] { link->Connect(); });
    EXPECT_TRUE(unresolved.startsWith(QStringLiteral("tcp: "))) << unresolved.toStdString();
    EXPECT_GT(unresolved.size(), 6);
}

TEST_F(CommTest, ConnectToAnAddressThatDoesNotAnswerIsBounded)
{
    // A listener whose queue is full drops further connection requests unanswered.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(fd);
    }
    std::this_thread::sleep_for(50ms);

    auto link = TcpLink(ntohs(address.sin_port));
    const auto start = Clock::now();
    const QString text = ErrorOf([&] { link->Connect(); });
    EXPECT_LT(MsSince(start), 3000);
    EXPECT_TRUE(text.startsWith(QStringLiteral("tcp: "))) << text.toStdString();
    EXPECT_FALSE(link->HasWatchdog());
    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
}

TEST_F(CommTest, NameLookupThatHangsIsBoundedAndEndsOnAbort)
{
    // A resolver that hangs until released, then answers with the loopback address.
    struct Gate
    {
        std::mutex lock;
        std::condition_variable changed;
        bool open = false;
        int hanging = 0;
        std::vector<std::string> hosts;
    };
    auto gate = std::make_shared<Gate>();
    CSocket::SetResolverForTests([gate](const char* host, const char* service, const addrinfo* hints,
                                        addrinfo** result) {
        std::unique_lock lock(gate->lock);
        gate->hosts.emplace_back(host);
        ++gate->hanging;
        gate->changed.wait_for(lock, 20s, [&] { return gate->open; });
        const int found = ::getaddrinfo("127.0.0.1", service, hints, result);
        --gate->hanging;
        gate->changed.notify_all();
        return found;
    });
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->GetComSettings().ServerAddress = QStringLiteral("fenmar-unit.example");
    const std::string prefix = "tcp: ";

    auto start = Clock::now();
    EXPECT_EQ(ErrorOf([&] { link->Connect(); }).toStdString(), prefix + std::strerror(ETIMEDOUT) + "\n");
    EXPECT_GE(MsSince(start), static_cast<long long>(kTestWaitCapMs) - 30);
    EXPECT_LT(MsSince(start), static_cast<long long>(kTestWaitCapMs) + 700);
    EXPECT_FALSE(link->HasWatchdog());

    CModbusInterface::SetWaitCapForTests(0); // the production five seconds
    start = Clock::now();
    EXPECT_EQ(AbortWhileRunning(*link, [&] { link->Connect(); }).toStdString(),
              prefix + std::strerror(EINTR) + "\n");
    EXPECT_LT(MsSince(start), 1000);
    EXPECT_EQ(m_unit.ConnectionsAccepted(), 0);

    // Released, the abandoned lookups end on their own; the next connect goes through.
    {
        std::unique_lock lock(gate->lock);
        gate->open = true;
        gate->changed.notify_all();
        EXPECT_TRUE(gate->changed.wait_for(lock, 5s, [&] { return gate->hanging == 0; }));
        EXPECT_EQ(gate->hosts, (std::vector<std::string>{"fenmar-unit.example", "fenmar-unit.example"}));
    }
    link->Connect();
    std::uint16_t word = 0;
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(m_unit.ConnectionsAccepted(), 1);
}

TEST_F(CommTest, SerialPortIsOpenedExclusively)
{
    const QString path = m_unit.StartRtu();
    auto first = RtuLink(path);
    first->Connect();
    auto second = RtuLink(path);
    EXPECT_EQ(ErrorOf([&] { second->Connect(); }).toStdString(),
              std::string("cannot open COM7\n") + std::strerror(EBUSY));
    // The refused opener leaves the holder's port exclusive.
    // (root is let in past the flag, and can ask for it; anyone else is kept out.)
    const int probe = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (probe >= 0) {
        int exclusive = 0;
        EXPECT_EQ(::ioctl(probe, TIOCGEXCL, &exclusive), 0);
        ::close(probe);
        EXPECT_EQ(exclusive, 1);
    } else {
        EXPECT_EQ(errno, EBUSY);
    }
    first->Close();
    EXPECT_EQ(ErrorOf([&] { second->Connect(); }).toStdString(), "<none>");
    std::uint16_t word = 0;
    ASSERT_TRUE(second->ReadRegisters(0, 1, &word));
    // Connecting again closes the first handle before opening anew.
    second->Connect();
    ASSERT_TRUE(second->ReadRegisters(0, 1, &word));
}

TEST_F(CommTest, SerialOpenFailureNamesTheComPortAndTheSystemReason)
{
    const std::string missing = std::string("cannot open COM7\n") + std::strerror(ENOENT);
    auto link = RtuLink(QStringLiteral("/nonexistent/ttyS99"));
    EXPECT_EQ(ErrorOf([&] { link->Connect(); }).toStdString(), missing);
    // In every mode the COM port's display name is the one named.
    auto infrared = RtuLink(QStringLiteral("/nonexistent/ttyS99"), CComSettings::ModeInfrared);
    infrared->GetComSettings().IRCOMPortDisplayName = QStringLiteral("IR adapter");
    EXPECT_EQ(ErrorOf([&] { infrared->Connect(); }).toStdString(), missing);
    // Registers on a port that is not open fail as port errors, retried like the rest.
    std::uint16_t word = 0;
    EXPECT_EQ(ErrorOf([&] { link->ReadRegisters(0, 1, &word); }).toStdString(), "com setting");
    EXPECT_EQ(link->GetResultHistory(), (History{0, 0, 0}));
}
