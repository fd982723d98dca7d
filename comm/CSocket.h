#pragma once
// A blocking TCP client socket whose pending call another thread can cancel.
// Every wait is a poll on the socket and a wake-up eventfd, so a cancel ends
// the pending call at once and leaves the socket usable.
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

struct addrinfo;

class CSocket
{
public:
    CSocket();
    ~CSocket();
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;

    // Resolves host and service (IPv4, TCP) and connects to the first address,
    // giving up after timeoutMs for both together. A cancel ends the name
    // lookup as it ends the connect. On failure errorText holds the system's text.
    bool Connect(const QString& host, const QString& service, int timeoutMs, QString& errorText);
    void Close();
    bool IsOpen() const;

    // Discards whatever input is waiting (a reply that came too late).
    void Drain();
    // Sends all bytes, never raising SIGPIPE; false on failure, time-out or cancel.
    bool Send(const std::uint8_t* data, std::size_t size, int timeoutMs);

    enum class ReceiveEnd { Complete, TimedOut, Cancelled, Closed, Failed };
    // Frame length from what came so far (never more than capacity); 0 while unknown.
    using FrameLength = std::function<std::size_t(const std::uint8_t* data, std::size_t received)>;
    // Accumulates into buffer until frameLength says the frame is whole, the
    // buffer is full, the peer closes, the time-out runs out or a cancel comes.
    ReceiveEnd Receive(std::uint8_t* buffer, std::size_t capacity, std::size_t& received,
                       int timeoutMs, const FrameLength& frameLength);

    // From any thread: when a blocking call is pending, runs beforeCancel,
    // ends the call and returns true; otherwise does nothing.
    bool CancelBlockingCall(const std::function<void()>& beforeCancel = {});

    // getaddrinfo's signature; the list it hands back is freed with freeaddrinfo.
    using Resolver = std::function<int(const char* host, const char* service, const addrinfo* hints,
                                       addrinfo** result)>;
    // Test seam: the name lookup calls this in place of getaddrinfo (empty: getaddrinfo).
    static void SetResolverForTests(Resolver resolver);

private:
    class PendingCall;
    // Waits for events on fd or the wake-up; 1 ready, 0 time-out, -1 cancelled, -2 error.
    int WaitFor(int fd, short events, int timeoutMs);
    // The lookup runs on a helper thread of its own, so that a resolver that
    // hangs can be left behind; the helper keeps what it writes to alive.
    using AddressList = std::unique_ptr<addrinfo, void (*)(addrinfo*)>;
    AddressList Resolve(const QString& host, const QString& service, int timeoutMs, QString& errorText);

    mutable std::mutex m_lock;
    int m_fd = -1;
    int m_wakeFd = -1;
    bool m_pending = false;
    bool m_woken = false; // the wake-up holds a signal not yet cleared
};
