#include "CSocket.h"

#include "platform/SystemErrorText.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

int MsUntil(Clock::time_point deadline)
{
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

Clock::time_point DeadlineAfter(int timeoutMs)
{
    return Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
}
} // namespace

// Marks a blocking call as pending for its lifetime. A cancel can only land
// while it exists; a wake-up left over from an earlier call is cleared first.
class CSocket::PendingCall
{
public:
    explicit PendingCall(CSocket& socket) : m_socket(socket)
    {
        std::lock_guard lock(m_socket.m_lock);
        if (m_socket.m_woken) {
            std::uint64_t stale = 0;
            while (::read(m_socket.m_wakeFd, &stale, sizeof stale) > 0) {
            }
            m_socket.m_woken = false;
        }
        m_socket.m_pending = true;
    }
    ~PendingCall()
    {
        std::lock_guard lock(m_socket.m_lock);
        m_socket.m_pending = false;
    }
    PendingCall(const PendingCall&) = delete;
    PendingCall& operator=(const PendingCall&) = delete;

private:
    CSocket& m_socket;
};

CSocket::CSocket()
{
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

CSocket::~CSocket()
{
    Close();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool CSocket::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_fd >= 0;
}

void CSocket::Close()
{
    std::lock_guard lock(m_lock);
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

int CSocket::WaitFor(short events, int timeoutMs)
{
    pollfd fds[2] = {{m_fd, events, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        const int rc = ::poll(fds, 2, timeoutMs);
        if (rc < 0) {
            if (errno == EINTR)
                continue;
            return -2;
        }
        if (rc == 0)
            return 0;
        if (fds[1].revents & POLLIN)
            return -1;
        return 1;
    }
}

bool CSocket::Connect(const QString& host, const QString& service, int timeoutMs, QString& errorText)
{
    Close();
    if (m_wakeFd < 0) {
        errorText = SystemErrorText(EMFILE);
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        errorText = SystemErrorText(errno);
        return false;
    }
    {
        std::lock_guard lock(m_lock);
        m_fd = fd;
    }

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const int gai = ::getaddrinfo(host.toLocal8Bit().constData(), service.toLocal8Bit().constData(), &hints, &found);
    if (gai != 0) {
        // The resolver does not set errno; its own text stands in for the system's.
        errorText = gai == EAI_SYSTEM ? SystemErrorText(errno) : QString::fromLocal8Bit(gai_strerror(gai)) + '\n';
        Close();
        return false;
    }
    const std::unique_ptr<addrinfo, void (*)(addrinfo*)> list(found, ::freeaddrinfo);

    int error = 0;
    {
        PendingCall pending(*this);
        if (::connect(fd, found->ai_addr, found->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                const int rc = WaitFor(POLLOUT, timeoutMs);
                if (rc == 1) {
                    socklen_t len = sizeof error;
                    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0)
                        error = errno;
                } else {
                    error = rc == 0 ? ETIMEDOUT : rc == -1 ? EINTR : errno;
                }
            }
        }
    }
    if (error != 0) {
        // Closed, so that a connect still under way cannot complete behind the caller's back.
        errorText = SystemErrorText(error);
        Close();
        return false;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return true;
}

void CSocket::Drain()
{
    if (m_fd < 0)
        return;
    std::uint8_t scrap[512];
    for (;;) {
        const ssize_t r = ::recv(m_fd, scrap, sizeof scrap, MSG_DONTWAIT);
        if (r > 0)
            continue;
        if (r < 0 && errno == EINTR)
            continue;
        return;
    }
}

bool CSocket::Send(const std::uint8_t* data, std::size_t size, int timeoutMs)
{
    if (m_fd < 0)
        return false;
    const Clock::time_point deadline = DeadlineAfter(timeoutMs);
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t s = ::send(m_fd, data + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (s > 0) {
            sent += static_cast<std::size_t>(s);
            continue;
        }
        if (s < 0 && errno == EINTR)
            continue;
        if (s < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        // Only a send that has to wait for room is a pending call.
        PendingCall pending(*this);
        if (WaitFor(POLLOUT, MsUntil(deadline)) != 1)
            return false;
    }
    return true;
}

CSocket::ReceiveEnd CSocket::Receive(std::uint8_t* buffer, std::size_t capacity, std::size_t& received,
                                     int timeoutMs, const FrameLength& frameLength)
{
    received = 0;
    if (m_fd < 0)
        return ReceiveEnd::Failed;
    PendingCall pending(*this);
    const Clock::time_point deadline = DeadlineAfter(timeoutMs);
    for (;;) {
        const std::size_t whole = frameLength ? frameLength(buffer, received) : 0;
        if (received >= capacity || (whole != 0 && received >= whole))
            return ReceiveEnd::Complete;
        // A reply is hardly ever there the moment the request left: wait first.
        const int rc = WaitFor(POLLIN, MsUntil(deadline));
        if (rc == 0)
            return ReceiveEnd::TimedOut;
        if (rc == -1)
            return ReceiveEnd::Cancelled;
        if (rc < 0)
            return ReceiveEnd::Failed;
        const std::size_t want = (whole != 0 ? std::min(whole, capacity) : capacity) - received;
        const ssize_t r = ::recv(m_fd, buffer + received, want, MSG_DONTWAIT);
        if (r > 0) {
            received += static_cast<std::size_t>(r);
            continue;
        }
        if (r == 0)
            return ReceiveEnd::Closed;
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return ReceiveEnd::Failed;
    }
}

bool CSocket::CancelBlockingCall(const std::function<void()>& beforeCancel)
{
    std::lock_guard lock(m_lock);
    if (!m_pending)
        return false;
    if (beforeCancel)
        beforeCancel();
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t w = ::write(m_wakeFd, &one, sizeof one);
    m_woken = true;
    return true;
}
