// Request frames on the wire, byte for byte, as the simulated unit received
// them; CRC vectors; chunks on the infrared link; counts that do not fit.
#include "CommTestSupport.h"

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace
{
std::uint16_t Crc(const Bytes& bytes)
{
    return CalcCrc16(bytes.data(), bytes.size());
}
} // namespace

TEST(CalcCrc16, KnownVectors)
{
    EXPECT_EQ(CalcCrc16(nullptr, 0), 0xFFFF);
    // Sent low byte first: 01 04 00 00 00 01 31 CA.
    EXPECT_EQ(Crc({0x01, 0x04, 0x00, 0x00, 0x00, 0x01}), 0xCA31);
    EXPECT_EQ(Crc({0x01, 0x04, 0x02, 0x00, 0x00}), 0x30B9);
    EXPECT_EQ(Crc({0x01, 0x84, 0x02}), 0xC1C2);
    EXPECT_EQ(Crc({0x01, 0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x05}), 0x5366);
    EXPECT_EQ(Crc({0x01, 0x10, 0x00, 0x00, 0x00, 0x01}), 0xC901);
}

TEST_F(CommTest, SerialFramesByteForByte)
{
    const QString path = m_unit.StartRtu();
    m_unit.SetRegisters(0, {0x1234});
    auto link = RtuLink(path);
    link->Connect();

    std::uint16_t word = 0;
    ASSERT_TRUE(link->ReadRegisters(0, 1, &word));
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(m_unit.LastRequest(), (Bytes{0x01, 0x04, 0x00, 0x00, 0x00, 0x01, 0x31, 0xCA}));

    const std::uint16_t five = 5;
    ASSERT_TRUE(link->WriteRegisters(0, 1, &five));
    EXPECT_EQ(m_unit.LastRequest(), (Bytes{0x01, 0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x05, 0x66, 0x53}));
    EXPECT_EQ(m_unit.GetRegister(0), 5);

    // A longer read across the high address byte.
    m_unit.SetRegisters(0x1234, {1, 2, 3});
    std::uint16_t words[3] = {};
    ASSERT_TRUE(link->ReadRegisters(0x1234, 3, words));
    EXPECT_EQ(words[0], 1);
    EXPECT_EQ(words[2], 3);
    Bytes expected{0x01, 0x04, 0x12, 0x34, 0x00, 0x03};
    const std::uint16_t crc = Crc(expected);
    expected.push_back(crc & 0xFF);
    expected.push_back(crc >> 8);
    EXPECT_EQ(m_unit.LastRequest(), expected);
}

TEST_F(CommTest, SerialUsesTheSettingsUnitAddress)
{
    m_unit.SetUnitId(7);
    const QString path = m_unit.StartRtu();
    auto link = RtuLink(path);
    link->GetComSettings().Address = 7;
    link->Connect();
    std::uint16_t word = 0;
    ASSERT_TRUE(link->ReadRegisters(3, 1, &word));
    EXPECT_EQ(m_unit.LastRequest()[0], 7);
}

TEST_F(CommTest, TcpFramesAndTransactionNumbers)
{
    const int port = m_unit.StartTcp();
    m_unit.SetRegisters(10, {0xBEEF, 0x0102});
    auto link = TcpLink(port);
    link->GetComSettings().Address = 3;
    link->Connect();

    std::uint16_t words[2] = {};
    ASSERT_TRUE(link->ReadRegisters(10, 2, words));
    EXPECT_EQ(words[0], 0xBEEF);
    EXPECT_EQ(words[1], 0x0102);
    const Bytes read = m_unit.LastRequest();
    ASSERT_EQ(read.size(), 12u);
    EXPECT_EQ(Bytes(read.begin() + 2, read.end()), (Bytes{0, 0, 0, 6, 0x03, 0x04, 0x00, 0x0A, 0x00, 0x02}));

    const std::uint16_t values[3] = {0x0A0B, 0x0C0D, 0xFFFF};
    ASSERT_TRUE(link->WriteRegisters(0x0100, 3, values));
    const Bytes write = m_unit.LastRequest();
    EXPECT_EQ(Bytes(write.begin() + 2, write.end()),
              (Bytes{0, 0, 0, 13, 0x03, 0x10, 0x01, 0x00, 0x00, 0x03, 0x06, 0x0A, 0x0B, 0x0C, 0x0D, 0xFF, 0xFF}));
    EXPECT_EQ(m_unit.GetRegisters(0x0100, 3), (std::vector<std::uint16_t>{0x0A0B, 0x0C0D, 0xFFFF}));

    // One program-wide number, one more for every request, on every link.
    const int first = read[0] << 8 | read[1];
    EXPECT_EQ(write[0] << 8 | write[1], (first + 1) & 0xFFFF);
    auto other = TcpLink(port);
    other->Connect();
    ASSERT_TRUE(other->ReadRegisters(10, 1, words));
    const Bytes third = m_unit.LastRequest();
    EXPECT_EQ(third[0] << 8 | third[1], (first + 2) & 0xFFFF);
}

TEST_F(CommTest, InfraredChunksAddressesAndUnitId)
{
    const QString path = m_unit.StartRtu();
    std::vector<std::uint16_t> values(20);
    for (int i = 0; i < 20; ++i)
        values[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(100 + i);
    m_unit.SetRegisters(40, values);
    auto link = RtuLink(path, CComSettings::ModeInfrared);
    link->GetComSettings().Address = 9; // the infrared link always talks to unit 1
    link->GetComSettings().COMPortName = QStringLiteral("/nonexistent/port");
    link->Connect();

    std::uint16_t words[20] = {};
    ASSERT_TRUE(link->ReadRegisters(40, 20, words));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(words[i], 100 + i);
    const auto requests = m_unit.Requests();
    ASSERT_EQ(requests.size(), 3u);
    const int addresses[3] = {40, 48, 56};
    const int counts[3] = {8, 8, 4};
    for (int i = 0; i < 3; ++i) {
        const Bytes& r = requests[static_cast<std::size_t>(i)];
        EXPECT_EQ(r[0], 1);
        EXPECT_EQ(r[1], 0x04);
        EXPECT_EQ(r[2] << 8 | r[3], addresses[i]);
        EXPECT_EQ(r[5], counts[i]);
    }
    // Writes are chunked alike; one success stands for the whole call.
    std::vector<std::uint16_t> out(10, 0x5555);
    ASSERT_TRUE(link->WriteRegisters(200, 10, out.data()));
    EXPECT_EQ(m_unit.RequestCount(), 5);
    EXPECT_EQ(m_unit.GetRegisters(200, 10), out);
    EXPECT_EQ(link->GetResultHistory(), (std::deque<std::uint8_t>{1, 1}));
}

TEST_F(CommTest, SerialSendsOneRequestPerCall)
{
    const QString path = m_unit.StartRtu();
    auto link = RtuLink(path);
    link->Connect();
    std::vector<std::uint16_t> words(125);
    ASSERT_TRUE(link->ReadRegisters(0, 125, words.data()));
    ASSERT_TRUE(link->WriteRegisters(0, 123, words.data()));
    EXPECT_EQ(m_unit.RequestCount(), 2);
}

TEST_F(CommTest, CountsAndAddressesThatDoNotFitAreNeverSent)
{
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->Connect();
    std::vector<std::uint16_t> words(300);
    EXPECT_EQ(ErrorOf([&] { link->ReadRegisters(0, 126, words.data()); }).toStdString(),
              "ReadHoldingRegister at 1 count 126: exception 3");
    EXPECT_EQ(ErrorOf([&] { link->WriteRegisters(5, 124, words.data()); }).toStdString(),
              "WriteMultipleRegisters at 6 count 124: exception 3");
    EXPECT_EQ(ErrorOf([&] { link->ReadRegisters(65530, 10, words.data()); }).toStdString(),
              "ReadHoldingRegister at 65531 count 10: exception 2");
    EXPECT_EQ(ErrorOf([&] { link->ReadRegisters(-1, 1, words.data()); }).toStdString(),
              "ReadHoldingRegister at 0 count 1: exception 2");
    EXPECT_EQ(m_unit.RequestCount(), 0);
    EXPECT_TRUE(link->GetResultHistory().empty());

    // The last register of the space is still reachable.
    m_unit.SetRegister(65535, 77);
    ASSERT_TRUE(link->ReadRegisters(65535, 1, words.data()));
    EXPECT_EQ(words[0], 77);
}

TEST_F(CommTest, ZeroCountSendsNothingAndSucceeds)
{
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->Connect();
    EXPECT_TRUE(link->ReadRegisters(0, 0, nullptr));
    EXPECT_TRUE(link->WriteRegisters(0, -3, nullptr));
    EXPECT_EQ(m_unit.RequestCount(), 0);
    EXPECT_EQ(link->GetResultHistory(), (std::deque<std::uint8_t>{1, 1}));
    EXPECT_DOUBLE_EQ(link->GetSuccessRate(), 100.0);
}

TEST_F(CommTest, ThirtyTwoBitValuesWithAndWithoutSwap)
{
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->Connect();

    const std::uint16_t pairs[4] = {0x1111, 0x2222, 0x3333, 0x4444};
    ASSERT_TRUE(link->WriteRegisters32(0, 2, pairs, true));
    EXPECT_EQ(m_unit.GetRegisters(0, 4), (std::vector<std::uint16_t>{0x2222, 0x1111, 0x4444, 0x3333}));
    EXPECT_EQ(pairs[0], 0x1111); // the caller's words stay as they were
    ASSERT_TRUE(link->WriteRegisters32(10, 2, pairs, false));
    EXPECT_EQ(m_unit.GetRegisters(10, 4), (std::vector<std::uint16_t>{0x1111, 0x2222, 0x3333, 0x4444}));

    std::uint16_t back[4] = {};
    ASSERT_TRUE(link->ReadRegisters32(0, 2, back, true));
    EXPECT_EQ(std::vector<std::uint16_t>(back, back + 4), (std::vector<std::uint16_t>{0x1111, 0x2222, 0x3333, 0x4444}));
    ASSERT_TRUE(link->ReadRegisters32(0, 2, back, false));
    EXPECT_EQ(std::vector<std::uint16_t>(back, back + 4), (std::vector<std::uint16_t>{0x2222, 0x1111, 0x4444, 0x3333}));
    EXPECT_EQ(m_unit.LastRequest()[11], 4); // 2 values are 4 registers
}

TEST_F(CommTest, ReplyTimeoutsFollowFrameLengthAndBaud)
{
    // The production values, whatever the tests' wait cap.
    EXPECT_EQ(CModbusInterface::kTcpReplyTimeoutMs, 5000u);
    EXPECT_EQ(CModbusInterface::kReadBaseTimeoutMs, 1000u);
    EXPECT_EQ(CModbusInterface::kWriteBaseTimeoutMs, 4000u);
    EXPECT_EQ(CModbusInterface::kOpenReadTimeoutMs, 3000u);
    EXPECT_EQ(CModbusInterface::kTcpConnectTimeoutMs, 5000u);

    const QString path = m_unit.StartRtu();
    std::vector<std::uint16_t> words(100);
    {
        auto link = RtuLink(path); // index 5: 38400 baud
        link->Connect();
        link->ReadRegisters(0, 1, words.data());
        EXPECT_EQ(link->GetResponseTimeout(), 1006u);
        link->WriteRegisters(0, 8, words.data());
        EXPECT_EQ(link->GetResponseTimeout(), 4014u);
    }
    {
        auto link = RtuLink(path);
        link->GetComSettings().Baudrate = 3; // 9600
        link->Connect();
        link->ReadRegisters(0, 100, words.data());
        EXPECT_EQ(link->GetResponseTimeout(), 1377u);
    }
    {
        auto link = RtuLink(path, CComSettings::ModeInfrared); // always 1200
        link->Connect();
        link->ReadRegisters(0, 8, words.data());
        EXPECT_EQ(link->GetResponseTimeout(), 1410u);
        link->WriteRegisters(0, 1, words.data());
        EXPECT_EQ(link->GetResponseTimeout(), 4269u);
    }
    m_unit.Stop();
    const int port = m_unit.StartTcp();
    auto link = TcpLink(port);
    link->Connect();
    link->WriteRegisters(0, 1, words.data());
    EXPECT_EQ(link->GetResponseTimeout(), 5000u);
}
