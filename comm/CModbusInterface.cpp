#include "CModbusInterface.h"

#include "foundation/CMessageFormatter.h"
#include "foundation/CPrivateException.h"

#include <QLoggingCategory>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <thread>

namespace
{
Q_LOGGING_CATEGORY(lcModbus, "ombrix.modbus", QtWarningMsg)

// One transaction number for every link of the program.
std::atomic<std::uint16_t> g_transactionNumber{0};
std::atomic<unsigned> g_waitCap{0};

// Slack the socket's own time-out leaves behind the watchdog's period.
constexpr int kWatchdogGraceMs = 1000;

// The standard's pair of byte tables for the reflected polynomial 0xA001:
// the low and the high byte of the table entry for each index.
struct CrcTables
{
    std::uint8_t low[256];
    std::uint8_t high[256];
};

constexpr CrcTables MakeCrcTables()
{
    CrcTables tables{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
        tables.low[i] = static_cast<std::uint8_t>(crc & 0xFF);
        tables.high[i] = static_cast<std::uint8_t>(crc >> 8);
    }
    return tables;
}

constexpr CrcTables kCrcTables = MakeCrcTables();

void Trace(const char* text)
{
    qCDebug(lcModbus, "%s", text);
}

void TraceChunk(bool write, int address, int count)
{
    char line[96];
    std::snprintf(line, sizeof line, write ? "WriteMultipleRegisters: adrs=%d size=%d" : "ReadHoldingRegisters: adrs=%d size=%d",
                  address, count);
    Trace(line);
}
} // namespace

std::uint16_t CalcCrc16(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t low = 0xFF;
    std::uint8_t high = 0xFF;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t index = low ^ data[i];
        low = static_cast<std::uint8_t>(high ^ kCrcTables.low[index]);
        high = kCrcTables.high[index];
    }
    return static_cast<std::uint16_t>(high << 8 | low);
}

void CModbusInterface::SetWaitCapForTests(unsigned ms)
{
    g_waitCap = ms;
}

CModbusInterface::CModbusInterface() = default;

CModbusInterface::~CModbusInterface()
{
    Close();
}

std::uint8_t CModbusInterface::UnitId() const
{
    return IsInfrared() ? 1 : static_cast<std::uint8_t>(m_settings.GetAddress() & 0xFF);
}

bool CModbusInterface::ReadRegisters(int address, int count, std::uint16_t* words)
{
    Transfer(false, address, count, words, nullptr);
    return true;
}

bool CModbusInterface::ReadRegisters32(int address, int count, std::uint16_t* words, bool swap)
{
    const int registers = static_cast<int>(std::min<long long>(2LL * count, INT_MAX));
    const bool result = ReadRegisters(address, registers, words);
    if (swap) {
        for (int i = 0; i + 1 < registers; i += 2)
            std::swap(words[i], words[i + 1]);
    }
    return result;
}

bool CModbusInterface::WriteRegisters(int address, int count, const std::uint16_t* words)
{
    Transfer(true, address, count, nullptr, words);
    return true;
}

bool CModbusInterface::WriteRegisters32(int address, int count, const std::uint16_t* words, bool swap)
{
    const int registers = static_cast<int>(std::min<long long>(2LL * count, INT_MAX));
    if (!swap || registers <= 0)
        return WriteRegisters(address, registers, words);
    std::vector<std::uint16_t> swapped(words, words + registers);
    for (int i = 0; i + 1 < registers; i += 2)
        std::swap(swapped[static_cast<std::size_t>(i)], swapped[static_cast<std::size_t>(i) + 1]);
    return WriteRegisters(address, registers, swapped.data());
}

void CModbusInterface::Transfer(bool write, int address, int count, std::uint16_t* readWords,
                                const std::uint16_t* writeWords)
{
    const int chunkLimit = IsInfrared() ? 8 : 10000;
    const int attemptLimit = m_singleAttempt ? 1 : IsInfrared() ? 10 : 3;
    const char* functionName = write ? "WriteMultipleRegisters" : "ReadHoldingRegister";
    m_answered = false;

    if (count > 0) {
        // What a unit would refuse anyway is refused before anything is sent,
        // rather than sent with a truncated count or a wrapped address.
        const int first = std::min(count, chunkLimit);
        if (first > (write ? kMaxWriteCount : kMaxReadCount))
            ThrowModbusError(ErrorException, 3, functionName, address, first);
        if (address < 0 || static_cast<long long>(address) + count > 0x10000)
            ThrowModbusError(ErrorException, 2, functionName, address, first);
    }

    for (int index = 0; index < count; index += chunkLimit) {
        const int n = std::min(count - index, chunkLimit);
        const int chunkAddress = address + index;
        TraceChunk(write, chunkAddress + 1, n);

        std::vector<std::uint8_t> pdu{UnitId(),
                                      static_cast<std::uint8_t>(write ? 0x10 : 0x04),
                                      static_cast<std::uint8_t>(chunkAddress >> 8 & 0xFF),
                                      static_cast<std::uint8_t>(chunkAddress & 0xFF),
                                      0,
                                      static_cast<std::uint8_t>(n & 0xFF)};
        if (write) {
            pdu.push_back(static_cast<std::uint8_t>(2 * n & 0xFF));
            for (int i = 0; i < n; ++i) {
                const std::uint16_t word = writeWords[index + i];
                pdu.push_back(static_cast<std::uint8_t>(word >> 8));
                pdu.push_back(static_cast<std::uint8_t>(word & 0xFF));
            }
        }
        const int expected = write ? 6 : 3 + 2 * n;
        int attempts = 0;
        m_abort = false;

        for (;;) {
            try {
                const std::uint16_t transaction = SendFrame(pdu);
                SetResponseTimeout(write ? kWriteBaseTimeoutMs : kReadBaseTimeoutMs,
                                   static_cast<unsigned>(pdu.size() + static_cast<std::size_t>(expected) + 4));
                std::vector<std::uint8_t> reply;
                ReceiveFrame(reply, expected, functionName, chunkAddress, n, transaction);
                if (!write && m_abort)
                    throw CPrivateException(QString());
                if (!write) {
                    for (int i = 0; i < n; ++i)
                        readWords[index + i] = static_cast<std::uint16_t>(reply[static_cast<std::size_t>(3 + 2 * i)] << 8 |
                                                                          reply[static_cast<std::size_t>(4 + 2 * i)]);
                }
                break;
            } catch (const CException&) {
                ++attempts;
                RecordResult(false);
                if (attempts < attemptLimit && !m_abort)
                    continue;
                throw;
            }
        }
    }
    RecordResult(true);
}

std::uint16_t CModbusInterface::SendFrame(const std::vector<std::uint8_t>& pdu)
{
    if (IsTcp()) {
        const std::uint16_t transaction = ++g_transactionNumber;
        std::vector<std::uint8_t> frame{static_cast<std::uint8_t>(transaction >> 8),
                                        static_cast<std::uint8_t>(transaction & 0xFF),
                                        0,
                                        0,
                                        0,
                                        static_cast<std::uint8_t>(pdu.size() & 0xFF)};
        frame.insert(frame.end(), pdu.begin(), pdu.end());
        // A reply that came after its request gave up would be taken for this one's.
        m_socket.Drain();
        m_socket.Send(frame.data(), frame.size(), static_cast<int>(EffectiveWait(kTcpReplyTimeoutMs)));
        return transaction;
    }
    // A late reply to an earlier request must not be taken for this one's;
    // throwing away what came needs no wait for more.
    m_serial.DiscardPending();
    std::vector<std::uint8_t> frame(pdu);
    const std::uint16_t crc = CalcCrc16(pdu.data(), pdu.size());
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    m_serial.Write(frame.data(), frame.size());
    return 0;
}

void CModbusInterface::SetResponseTimeout(unsigned base, unsigned length)
{
    unsigned t = length * 17000;
    if (IsTcp())
        t = kTcpReplyTimeoutMs;
    else if (IsInfrared())
        t = t / 1200 + base;
    else
        t = t / m_settings.GetBaudRate() + base;
    m_responseTimeout = t;
    if (!IsTcp())
        m_serial.SetReadTimeout(EffectiveWait(t));
}

unsigned CModbusInterface::EffectiveWait(unsigned ms) const
{
    const unsigned cap = g_waitCap.load();
    return cap != 0 && cap < ms ? cap : ms;
}

std::size_t CModbusInterface::ReceiveTcp(std::vector<std::uint8_t>& buffer, int expectedLength)
{
    buffer.assign(static_cast<std::size_t>(expectedLength) + 6, 0);
    const int period = static_cast<int>(EffectiveWait(m_responseTimeout));
    const bool guarded = m_watchdog && m_watchdog->Arm(static_cast<unsigned>(period));
    // The header's length field tells where the frame ends, so a reply split
    // across segments is gathered whole and nothing of it is left behind.
    const auto frameLength = [](const std::uint8_t* data, std::size_t received) -> std::size_t {
        return received < 6 ? 0 : 6 + (static_cast<std::size_t>(data[4]) << 8 | data[5]);
    };
    std::size_t received = 0;
    m_socket.Receive(buffer.data(), buffer.size(), received, guarded ? period + kWatchdogGraceMs : period,
                     frameLength);
    if (guarded)
        m_watchdog->Disarm();
    return received;
}

int CModbusInterface::ReceiveFrame(std::vector<std::uint8_t>& reply, int expectedLength, const char* functionName,
                                   int address, int count, std::uint16_t transaction)
{
    const std::size_t expected = static_cast<std::size_t>(expectedLength);
    reply.assign(expected, 0);
    std::size_t d = 0;
    std::uint16_t replyTransaction = 0;

    if (IsTcp()) {
        std::vector<std::uint8_t> buffer;
        const std::size_t received = ReceiveTcp(buffer, expectedLength);
        d = received <= 6 ? 0 : received - 6;
        m_answered = m_answered || d != 0;
        std::copy(buffer.begin() + 6, buffer.end(), reply.begin());
        replyTransaction = static_cast<std::uint16_t>(buffer[0] << 8 | buffer[1]);
    } else {
        std::vector<std::uint8_t> buffer(expected + 2, 0);
        const std::size_t received = m_serial.Read(buffer.data(), buffer.size());
        d = received >= 2 ? received - 2 : received;
        m_answered = m_answered || d != 0;
        std::copy_n(buffer.begin(), std::min(d, expected), reply.begin());
        if (d >= expected) {
            const std::uint16_t crc = CalcCrc16(buffer.data(), expected);
            if (buffer[expected] != (crc & 0xFF) || buffer[expected + 1] != (crc >> 8))
                ThrowModbusError(ErrorCrc, 0, functionName, address, count);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(120000 / m_settings.GetBaudRate() + 1));
    }

    if (d == 0) {
        Trace("Timeout");
        ThrowModbusError(ErrorTimeout, 0, functionName, address, count);
    }
    if (replyTransaction != transaction) {
        Trace("Invalid transaction");
        ThrowModbusError(ErrorTransaction, 0, functionName, address, count);
    }
    if (d >= 3 && (reply[1] & 0x80) != 0) {
        char line[32];
        std::snprintf(line, sizeof line, "Exception %d", reply[2]);
        Trace(line);
        ThrowModbusError(ErrorException, reply[2], functionName, address, count);
    }
    if (d < expected) {
        Trace("Invalid response");
        ThrowModbusError(ErrorInvalidResponse, 0, functionName, address, count);
    }
    return expectedLength;
}

void CModbusInterface::RecordResult(bool ok)
{
    m_history.push_back(ok ? 1 : 0);
    if (m_history.size() > 8)
        m_history.pop_front();
    const auto ones = std::count(m_history.begin(), m_history.end(), std::uint8_t{1});
    m_successRate = static_cast<double>(ones) / static_cast<double>(m_history.size()) * 100.0;
}

void CModbusInterface::ThrowModbusError(int code, int exceptionCode, const char* functionName, int address,
                                        int count) const
{
    QString detail;
    switch (code) {
    case ErrorTimeout: detail = CMessageFormatter(QStringLiteral("MSG_ERROR_MODBUS_TIMEOUT")).GetText(); break;
    case ErrorTransaction:
        detail = CMessageFormatter(QStringLiteral("MSG_ERROR_MODBUS_INVALID_TRANSACTION")).GetText();
        break;
    case ErrorInvalidResponse:
        detail = CMessageFormatter(QStringLiteral("MSG_ERROR_MODBUS_INVALID_RESPONSE")).GetText();
        break;
    case ErrorCrc: detail = CMessageFormatter(QStringLiteral("MSG_ERROR_MODBUS_CRC")).GetText(); break;
    default:
        detail = CMessageFormatter(QStringLiteral("MSG_ERROR_MODBUS_EXCEPTION"), {FormatArg(exceptionCode)}).GetText();
        break;
    }
    throw CPrivateException(CMessageFormatter(
        QStringLiteral("MSG_ERROR_MODBUS_MESSAGE"),
        {FormatArg(functionName), FormatArg(address + 1), FormatArg(count), FormatArg(detail)}));
}

void CModbusInterface::Connect()
{
    if (!IsTcp()) {
        m_serial.Open(m_settings);
        m_serial.SetReadTimeout(kOpenReadTimeoutMs);
        return;
    }
    m_socket.Close();
    m_serial.Close();
    if (m_watchdog) {
        m_watchdog->Stop();
        m_watchdog.reset();
    }
    QString errorText;
    if (!m_socket.Connect(m_settings.GetServerAddress(), m_settings.GetServicePort(),
                          static_cast<int>(EffectiveWait(kTcpConnectTimeoutMs)), errorText))
        throw CPrivateException(CMessageFormatter(QStringLiteral("ERROR_MODBUS_TCP"), {FormatArg(errorText)}));

    auto watchdog = std::make_unique<CTimerThread>();
    watchdog->AddObserver(this);
    // Without its thread the link still works: each receive keeps its own time-out.
    if (watchdog->CreateThread(true)) {
        watchdog->ResumeThread();
        m_watchdog = std::move(watchdog);
    }
}

void CModbusInterface::Close()
{
    m_socket.Close();
    m_serial.Close();
    if (m_watchdog) {
        m_watchdog->Stop();
        m_watchdog.reset();
    }
}

void CModbusInterface::Reconnect()
{
    if (IsTcp() || !m_serial.IsOpen()) {
        Connect();
        return;
    }
    // Reopening a port could not stop a reply already on the line; letting it pass can.
    m_serial.DiscardInput();
}

void CModbusInterface::Abort()
{
    if (IsTcp())
        m_socket.CancelBlockingCall([this] { m_abort = true; });
    else
        m_abort = true;
}

void CModbusInterface::Update(CObservable* notifier)
{
    if (dynamic_cast<CTimerThread*>(notifier) != nullptr)
        m_socket.CancelBlockingCall();
}
