// Every error kind with its text, the attempts behind it, and the success
// history, against a simulated unit that spoils its replies on demand.
#include "CommTestSupport.h"

#include <QLoggingCategory>
#include <QStringList>

#include <chrono>

using Fault = CSimulatedUnit::Fault;
using History = std::deque<std::uint8_t>;

namespace
{
QStringList g_traces;

void CaptureTraces(QtMsgType, const QMessageLogContext& context, const QString& text)
{
    if (context.category != nullptr && QByteArray(context.category) == "ombrix.modbus")
        g_traces << text;
}

// Collects the link's debug traces while it lives.
class TraceCapture
{
public:
    TraceCapture()
    {
        g_traces.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("ombrix.modbus.debug=true"));
        m_previous = qInstallMessageHandler(CaptureTraces);
    }
    ~TraceCapture()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }

private:
    QtMessageHandler m_previous = nullptr;
};
} // namespace

TEST_F(CommTest, TcpErrorKindsAndTheirTexts)
{
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->Connect();
    std::uint16_t words[4] = {};
    const auto read = [&] { link->ReadRegisters(99, 4, words); };

    m_unit.InjectFault(CSimulatedUnit::Silent(), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 100 count 4: timeout");
    m_unit.InjectFault(CSimulatedUnit::OtherTransaction(), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 100 count 4: transaction");
    m_unit.InjectFault(CSimulatedUnit::Exception(2), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 100 count 4: exception 2");
    // Header and two bytes of the data: d = 2.
    m_unit.InjectFault(CSimulatedUnit::CutShort(8), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 100 count 4: invalid response");
    // Six bytes or fewer count as no reply.
    m_unit.InjectFault(CSimulatedUnit::CutShort(6), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 100 count 4: timeout");
    m_unit.InjectFault(CSimulatedUnit::Exception(4), 3);
    EXPECT_EQ(ErrorOf([&] { link->WriteRegisters(7, 2, words); }).toStdString(),
              "WriteMultipleRegisters at 8 count 2: exception 4");
    EXPECT_EQ(m_unit.RequestCount(), 18); // three attempts each

    // The link is still in step afterwards.
    m_unit.SetRegisters(99, {9, 8, 7, 6});
    ASSERT_TRUE(link->ReadRegisters(99, 4, words));
    EXPECT_EQ(words[3], 6);
}

TEST_F(CommTest, SerialErrorKindsAndTheirTexts)
{
    const QString path = m_unit.StartRtu();
    auto link = RtuLink(path);
    link->Connect();
    std::uint16_t words[2] = {};
    const auto read = [&] { link->ReadRegisters(0, 2, words); };

    m_unit.InjectFault(CSimulatedUnit::Silent(), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 1 count 2: timeout");
    m_unit.InjectFault(CSimulatedUnit::CorruptCrc(), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 1 count 2: crc");
    // The unit, the function with bit 7 and the code, then the CRC: no more.
    m_unit.InjectFault(CSimulatedUnit::Exception(3), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 1 count 2: exception 3");
    m_unit.InjectFault(CSimulatedUnit::CutShort(6), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 1 count 2: invalid response");
    // A single byte is no reply at all.
    m_unit.InjectFault(CSimulatedUnit::CutShort(1), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 1 count 2: invalid response");
    m_unit.InjectFault(CSimulatedUnit::CutShort(2), 3);
    EXPECT_EQ(ErrorOf(read).toStdString(), "ReadHoldingRegister at 1 count 2: timeout");
    EXPECT_EQ(m_unit.RequestCount(), 18);
    m_unit.SetRegisters(0, {4, 5});
    ASSERT_TRUE(link->ReadRegisters(0, 2, words));
    EXPECT_EQ(words[1], 5);
}

TEST_F(CommTest, RetriesAndTheSuccessHistory)
{
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->Connect();
    EXPECT_DOUBLE_EQ(link->GetSuccessRate(), 0.0);
    std::uint16_t word = 0;

    // Two failed attempts, then the third succeeds.
    m_unit.InjectFault(CSimulatedUnit::Exception(6), 2);
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(link->GetResultHistory(), (History{0, 0, 1}));
    EXPECT_NEAR(link->GetSuccessRate(), 100.0 / 3.0, 1e-9);
    EXPECT_EQ(m_unit.RequestCount(), 3);

    // Every attempt gets its own transaction number.
    const auto requests = m_unit.Requests();
    for (std::size_t i = 1; i < requests.size(); ++i)
        EXPECT_EQ(requests[i][0] << 8 | requests[i][1], ((requests[i - 1][0] << 8 | requests[i - 1][1]) + 1) & 0xFFFF);

    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(link->GetResultHistory(), History(8, 1));
    EXPECT_DOUBLE_EQ(link->GetSuccessRate(), 100.0);

    // A call whose attempts all fail records three failures.
    m_unit.InjectFault(CSimulatedUnit::Exception(1), 3);
    EXPECT_FALSE(ErrorOf([&] { link->ReadRegisters(0, 1, &word); }) == QStringLiteral("<none>"));
    EXPECT_EQ(link->GetResultHistory(), (History{1, 1, 1, 1, 1, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(link->GetSuccessRate(), 62.5);
}

TEST_F(CommTest, InfraredMakesTenAttemptsPerChunk)
{
    const QString path = m_unit.StartRtu();
    auto link = RtuLink(path, CComSettings::ModeInfrared);
    link->Connect();
    std::uint16_t words[10] = {};

    // Nine spoiled replies in the second chunk, the tenth attempt succeeds.
    m_unit.InjectFault(Fault{}, 1);
    m_unit.InjectFault(CSimulatedUnit::CorruptCrc(), 9);
    ASSERT_TRUE(link->ReadRegisters(0, 10, words));
    EXPECT_EQ(m_unit.RequestCount(), 11);
    EXPECT_EQ(link->GetResultHistory(), (History{0, 0, 0, 0, 0, 0, 0, 1}));

    m_unit.InjectFault(CSimulatedUnit::CorruptCrc(), 10);
    EXPECT_EQ(ErrorOf([&] { link->ReadRegisters(16, 3, words); }).toStdString(),
              "ReadHoldingRegister at 17 count 3: crc");
    EXPECT_EQ(m_unit.RequestCount(), 21);
    EXPECT_DOUBLE_EQ(link->GetSuccessRate(), 0.0);
}

TEST_F(CommTest, TracesOncePerChunkAndPerFailedCheck)
{
    const QString path = m_unit.StartRtu();
    auto link = RtuLink(path, CComSettings::ModeInfrared);
    link->Connect();
    std::uint16_t words[20] = {};
    TraceCapture capture;

    m_unit.InjectFault(Fault{}, 1);
    m_unit.InjectFault(CSimulatedUnit::CorruptCrc(), 1); // no trace for a CRC error
    m_unit.InjectFault(CSimulatedUnit::Exception(5), 1);
    ASSERT_TRUE(link->ReadRegisters(4, 20, words));
    const QStringList expected{
        QStringLiteral("ReadHoldingRegisters: adrs=5 size=8"),
        QStringLiteral("ReadHoldingRegisters: adrs=13 size=8"),
        QStringLiteral("Exception 5"),
        QStringLiteral("ReadHoldingRegisters: adrs=21 size=4"),
    };
    EXPECT_EQ(g_traces.join(u'|').toStdString(), expected.join(u'|').toStdString());

    g_traces.clear();
    m_unit.InjectFault(CSimulatedUnit::Silent(), 1);
    ASSERT_TRUE(link->WriteRegisters(0, 2, words));
    EXPECT_EQ(g_traces.join(u'|').toStdString(), "WriteMultipleRegisters: adrs=1 size=2|Timeout");
}

TEST_F(CommTest, WriteHookRefusesOrIgnoresWrites)
{
    const int port = m_unit.StartTcp();
    m_unit.SetRegisters(0, {1, 2});
    std::vector<int> seen;
    m_unit.SetWriteHook([&](int address, int count, const std::uint16_t* words) {
        seen = {address, count, words[0]};
        if (address == 0)
            return CSimulatedUnit::WriteDecision{CSimulatedUnit::WriteAction::Refuse, 4};
        if (address == 1)
            return CSimulatedUnit::WriteDecision{CSimulatedUnit::WriteAction::Ignore, 0};
        return CSimulatedUnit::WriteDecision{};
    });
    auto link = TcpLink(port);
    link->Connect();
    const std::uint16_t values[2] = {50, 60};
    EXPECT_EQ(ErrorOf([&] { link->WriteRegisters(0, 2, values); }).toStdString(),
              "WriteMultipleRegisters at 1 count 2: exception 4");
    EXPECT_EQ(seen, (std::vector<int>{0, 2, 50}));
    ASSERT_TRUE(link->WriteRegisters(1, 1, values));
    EXPECT_EQ(m_unit.GetRegisters(0, 2), (std::vector<std::uint16_t>{1, 2}));
    ASSERT_TRUE(link->WriteRegisters(2, 2, values));
    EXPECT_EQ(m_unit.GetRegisters(0, 4), (std::vector<std::uint16_t>{1, 2, 50, 60}));
}
