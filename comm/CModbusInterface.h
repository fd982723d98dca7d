#pragma once
// The Modbus master towards one unit, over the link mode of its connection
// settings: RTU on a serial port (mode 0), Modbus TCP (mode 1), RTU on an
// infrared adapter (mode 2). Reads use function 0x04, writes 0x10. Every
// failure is thrown as CPrivateException with the finished message text.
#include "CComSettings.h"
#include "CSerialIO.h"
#include "CSocket.h"
#include "CTimerThread.h"
#include "foundation/CObserver.h"
#include "foundation/CResourceManager.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

// The addresses a unit can have (0 is the broadcast, which no unit answers).
inline constexpr int MODBUS_FIRST_UNIT_ADDRESS = 1;
inline constexpr int MODBUS_LAST_UNIT_ADDRESS = 247;

class CModbusInterface : public CObserver, private CResourceManager
{
public:
    // Loads the connection settings from the profile; the link starts closed.
    CModbusInterface();
    ~CModbusInterface() override;
    CModbusInterface(const CModbusInterface&) = delete;
    CModbusInterface& operator=(const CModbusInterface&) = delete;

    // count registers from address on (0-based wire addresses); true, or throws.
    bool ReadRegisters(int address, int count, std::uint16_t* words);
    // count 32-bit values as 2 x count registers; swap exchanges the words of each pair.
    bool ReadRegisters32(int address, int count, std::uint16_t* words, bool swap);
    bool WriteRegisters(int address, int count, const std::uint16_t* words);
    bool WriteRegisters32(int address, int count, const std::uint16_t* words, bool swap);

    // Opens the link of the settings' mode; throws CPrivateException.
    void Connect();
    // Closes socket, serial port and watchdog; harmless when nothing is open.
    void Close();
    // Starts afresh, so that no reply to an earlier request can answer a later
    // one: TCP closes and connects again; an open serial or infrared port stays
    // open and what its line brings until it falls quiet is discarded.
    // Throws as Connect.
    void Reconnect();
    // While set, every request is sent once, without retries: a clean-up
    // against a unit that stopped answering costs one reply time-out a request.
    void SetSingleAttempt(bool single) { m_singleAttempt = single; }
    // Whether anything came back to the last call, a good reply or a bad one.
    bool WasAnswered() const { return m_answered; }
    // From another thread while a call runs: ends the call after the attempt
    // in progress (on TCP only while a socket call is pending, which it cuts short).
    void Abort();

    // Percentage of successes in the last 8 results; may be read from any thread.
    double GetSuccessRate() const { return m_successRate.load(); }
    CComSettings& GetComSettings() { return m_settings; }
    void SetComSettings(const CComSettings& settings) { m_settings = settings; }

    // Watchdog expiry, on the watchdog's thread: cuts the pending receive short.
    void Update(CObservable* notifier) override;

    // The reply time-out last computed for a request (ms), and the results
    // behind the success rate (1 success, 0 failed attempt), oldest first.
    unsigned GetResponseTimeout() const { return m_responseTimeout; }
    const std::deque<std::uint8_t>& GetResultHistory() const { return m_history; }
    bool HasWatchdog() const { return m_watchdog != nullptr; }

    // Fixed times of the link (ms).
    static constexpr unsigned kTcpReplyTimeoutMs = 5000;
    static constexpr unsigned kTcpConnectTimeoutMs = 5000;
    static constexpr unsigned kReadBaseTimeoutMs = 1000;
    static constexpr unsigned kWriteBaseTimeoutMs = 4000;
    static constexpr unsigned kOpenReadTimeoutMs = 3000;
    // Largest counts Modbus allows in one request.
    static constexpr int kMaxReadCount = 125;
    static constexpr int kMaxWriteCount = 123;

    // Test seam: caps every wait for a reply or a connection at ms (0 = no
    // cap). The computed time-outs are unchanged; only the waits shorten.
    static void SetWaitCapForTests(unsigned ms);

private:
    enum ErrorKind
    {
        ErrorTimeout = 0,
        ErrorTransaction = 1,
        ErrorInvalidResponse = 2,
        ErrorCrc = 3,
        ErrorException = 4,
    };

    bool IsTcp() const { return m_settings.Mode == CComSettings::ModeTcp; }
    bool IsInfrared() const { return m_settings.Mode == CComSettings::ModeInfrared; }
    std::uint8_t UnitId() const;

    // Runs the chunks and attempts of one call; words is read or written.
    void Transfer(bool write, int address, int count, std::uint16_t* readWords, const std::uint16_t* writeWords);
    std::uint16_t SendFrame(const std::vector<std::uint8_t>& pdu);
    void SetResponseTimeout(unsigned base, unsigned length);
    unsigned EffectiveWait(unsigned ms) const;
    int ReceiveFrame(std::vector<std::uint8_t>& reply, int expectedLength, const char* functionName,
                     int address, int count, std::uint16_t transaction);
    std::size_t ReceiveTcp(std::vector<std::uint8_t>& buffer, int expectedLength);
    void RecordResult(bool ok);
    [[noreturn]] void ThrowModbusError(int code, int exceptionCode, const char* functionName, int address,
                                       int count) const;

    CSocket m_socket;
    CSerialIO m_serial;
    std::atomic<bool> m_abort{false};
    bool m_singleAttempt = false;
    bool m_answered = false;
    std::unique_ptr<CTimerThread> m_watchdog;
    unsigned m_responseTimeout = 0;
    std::deque<std::uint8_t> m_history;
    std::atomic<double> m_successRate{0.0};
    CComSettings m_settings;
};

// CRC-16 of the Modbus standard (initial 0xFFFF, reflected polynomial 0xA001);
// 0xFFFF over no bytes. Sent low byte first.
std::uint16_t CalcCrc16(const std::uint8_t* data, std::size_t size);
