#pragma once
// A simulated Fenmar unit for the tests and the benchmark, built on libmodbus:
// a Modbus TCP server on 127.0.0.1 (a free port) or an RTU server on a
// pseudo-terminal pair. One space of 65536 registers answers reads (0x04) and
// writes (0x10). Requests are parsed and replies built by libmodbus; the
// unit can then be told to spoil or hold back what it sends.
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CSimulatedUnit
{
public:
    // What becomes of one write request (function 0x10).
    enum class WriteAction
    {
        Apply,  // store the words and answer normally
        Ignore, // answer normally but keep the registers as they are
        Refuse, // answer the exception code
    };
    struct WriteDecision
    {
        WriteAction action = WriteAction::Apply;
        int exceptionCode = 0;
    };
    // Called on the unit's thread for each write request before it is applied,
    // with no lock held: the hook may read and set registers.
    using WriteHook = std::function<WriteDecision(int address, int count, const std::uint16_t* words)>;

    enum class FaultKind
    {
        None,
        Silent,           // no reply at all
        Delay,            // reply after value ms (past the master's time-out: a late reply);
                          // later requests are served meanwhile
        CorruptCrc,       // RTU: last CRC byte spoiled
        OtherTransaction, // TCP: transaction number + value (1 when 0)
        Exception,        // exception reply with code value
        CutShort,         // only the first value bytes of the reply
        SplitTcp,         // the first value bytes, then the rest after value2 ms
        DropConnection,   // TCP: close the connection instead of answering
    };
    struct Fault
    {
        FaultKind kind = FaultKind::None;
        int value = 0;
        int value2 = 0;
    };
    static Fault Silent() { return {FaultKind::Silent, 0, 0}; }
    static Fault Delay(int ms) { return {FaultKind::Delay, ms, 0}; }
    static Fault CorruptCrc() { return {FaultKind::CorruptCrc, 0, 0}; }
    static Fault OtherTransaction(int offset = 1) { return {FaultKind::OtherTransaction, offset, 0}; }
    static Fault Exception(int code) { return {FaultKind::Exception, code, 0}; }
    static Fault CutShort(int bytes) { return {FaultKind::CutShort, bytes, 0}; }
    static Fault SplitTcp(int firstBytes, int gapMs) { return {FaultKind::SplitTcp, firstBytes, gapMs}; }
    static Fault DropConnection() { return {FaultKind::DropConnection, 0, 0}; }

    CSimulatedUnit();
    ~CSimulatedUnit();
    CSimulatedUnit(const CSimulatedUnit&) = delete;
    CSimulatedUnit& operator=(const CSimulatedUnit&) = delete;

    // Serves Modbus TCP on 127.0.0.1; returns the port.
    int StartTcp();
    // Serves Modbus RTU on a pseudo-terminal; returns the path the master opens.
    QString StartRtu();
    void Stop();

    // Before StartRtu: only requests for this unit id are answered on RTU
    // (default 1); TCP answers any.
    void SetUnitId(int unitId);

    void SetRegister(int address, std::uint16_t value);
    std::uint16_t GetRegister(int address) const;
    void SetRegisters(int address, const std::vector<std::uint16_t>& values);
    std::vector<std::uint16_t> GetRegisters(int address, int count) const;
    void SetWriteHook(WriteHook hook);

    // The fault applies to the next `requests` requests (-1: every one until
    // ClearFaults). Faults queue up in the order given.
    void InjectFault(const Fault& fault, int requests = 1);
    void ClearFaults();
    // RTU: take the line time of a line at this rate: the request's and the
    // silence of 3.5 characters that ends it before answering, the reply's
    // byte by byte. 0 = off.
    void SetLinePacing(int baud, int bitsPerCharacter = 11);
    // TCP: closes every open connection.
    void DropConnections();

    // Requests as they came (RTU with CRC, TCP with the 6-byte header).
    int RequestCount() const;
    std::vector<std::vector<std::uint8_t>> Requests() const;
    std::vector<std::uint8_t> LastRequest() const;
    bool WaitForRequests(int count, int timeoutMs) const;
    // Replies sent after a Delay fault.
    int DelayedRepliesSent() const { return m_delayedSent.load(); }
    int ConnectionsAccepted() const { return m_accepted.load(); }

private:
    // A reply held back by a Delay or SplitTcp fault.
    struct Scheduled
    {
        int fd = -1;
        std::chrono::steady_clock::time_point due;
        std::vector<std::uint8_t> bytes;
        bool delayed = false;
    };

    void Start(bool tcp);
    void Run();
    // False when the connection is to be closed.
    bool HandleRequest(int fd);
    Fault NextFault();
    std::vector<std::uint8_t> BuildReply(const std::uint8_t* request, int length, const Fault& fault);
    // A paced line's first character ends one character's time after start.
    void Send(int fd, const std::vector<std::uint8_t>& bytes,
              std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now());
    void CloseClient(int fd);
    void Wake();

    mutable std::mutex m_registersLock;
    void* m_context = nullptr; // modbus_t
    void* m_mapping = nullptr; // modbus_mapping_t, one array for input and holding registers
    WriteHook m_writeHook;
    int m_captureFds[2] = {-1, -1}; // libmodbus writes its replies here first

    mutable std::mutex m_lock;
    mutable std::condition_variable m_requestCame;
    std::deque<std::pair<Fault, int>> m_faults;
    std::vector<std::vector<std::uint8_t>> m_requests;
    std::vector<Scheduled> m_scheduled;
    bool m_dropRequested = false;
    int m_pacingBaud = 0;
    int m_pacingBits = 11;
    int m_unitId = 1;

    std::atomic<bool> m_stop{false};
    std::atomic<int> m_delayedSent{0};
    std::atomic<int> m_accepted{0};
    bool m_tcp = false;
    int m_wakeFd = -1;
    int m_listenFd = -1;
    int m_masterFd = -1;
    int m_slaveFd = -1;
    std::vector<int> m_clients;
    std::thread m_thread;
};
