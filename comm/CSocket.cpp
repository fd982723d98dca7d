#include "CSocket.h"

#include "platform/SystemErrorText.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
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

std::mutex g_resolverLock;
CSocket::Resolver g_resolver;

// One name lookup, shared by the helper thread that runs it and the caller
// that waits for it. Whichever lets go last frees it, so a caller that gave
// up (time-out, cancel) leaves nothing behind for the helper to trip over.
struct Lookup
{
    Lookup() : doneFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~Lookup()
    {
        if (list != nullptr)
            ::freeaddrinfo(list);
        if (doneFd >= 0)
            ::close(doneFd);
    }
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;

    const int doneFd; // readable once the result is in
    std::mutex lock;
    int result = EAI_SYSTEM;
    int error = 0; // errno of an EAI_SYSTEM result
    addrinfo* list = nullptr;
};
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

void CSocket::SetResolverForTests(Resolver resolver)
{
    std::lock_guard lock(g_resolverLock);
    g_resolver = std::move(resolver);
}

int CSocket::WaitFor(int fd, short events, int timeoutMs)
{
    pollfd fds[2] = {{fd, events, 0}, {m_wakeFd, POLLIN, 0}};
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

CSocket::AddressList CSocket::Resolve(const QString& host, const QString& service, int timeoutMs,
                                      QString& errorText)
{
    AddressList none(nullptr, ::freeaddrinfo);
    auto lookup = std::make_shared<Lookup>();
    if (lookup->doneFd < 0) {
        errorText = SystemErrorText(errno);
        return none;
    }
    Resolver resolver;
    {
        std::lock_guard lock(g_resolverLock);
        resolver = g_resolver;
    }
    try {
        std::thread([lookup, resolver = std::move(resolver), host = std::string(host.toLocal8Bit().constData()),
                     service = std::string(service.toLocal8Bit().constData())] {
            addrinfo hints{};
            hints.ai_family = AF_INET;
            hints.ai_socktype = SOCK_STREAM;
            hints.ai_protocol = IPPROTO_TCP;
            addrinfo* list = nullptr;
            const int result = resolver ? resolver(host.c_str(), service.c_str(), &hints, &list)
                                        : ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
            const int error = errno;
            {
                std::lock_guard lock(lookup->lock);
                lookup->result = result;
                lookup->error = error;
                lookup->list = result == 0 ? list : nullptr;
            }
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t w = ::write(lookup->doneFd, &one, sizeof one);
        }).detach();
    } catch (const std::system_error& e) {
        errorText = SystemErrorText(e.code().value());
        return none;
    }

    int rc = 0;
    int waitError = 0;
    {
        PendingCall pending(*this);
        rc = WaitFor(lookup->doneFd, POLLIN, timeoutMs);
        waitError = errno;
    }
    if (rc != 1) {
        // The helper finishes on its own and frees what it found.
        errorText = SystemErrorText(rc == 0 ? ETIMEDOUT : rc == -1 ? EINTR : waitError);
        return none;
    }
    std::lock_guard lock(lookup->lock);
    if (lookup->result != 0) {
        // The resolver does not set errno; its own text stands in for the system's.
        errorText = lookup->result == EAI_SYSTEM ? SystemErrorText(lookup->error)
                                                 : QString::fromLocal8Bit(gai_strerror(lookup->result)) + '\n';
        return none;
    }
    AddressList found(lookup->list, ::freeaddrinfo);
    lookup->list = nullptr;
    return found;
}

bool CSocket::Connect(const QString& host, const QString& service, int timeoutMs, QString& errorText)
{
    Close();
    if (m_wakeFd < 0) {
        errorText = SystemErrorText(EMFILE);
        return false;
    }
    const Clock::time_point deadline = DeadlineAfter(timeoutMs);
    const AddressList found = Resolve(host, service, timeoutMs, errorText);
    if (!found)
        return false;

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        errorText = SystemErrorText(errno);
        return false;
    }
    {
        std::lock_guard lock(m_lock);
        m_fd = fd;
    }

    int error = 0;
    {
        PendingCall pending(*this);
        if (::connect(fd, found->ai_addr, found->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                const int rc = WaitFor(fd, POLLOUT, MsUntil(deadline));
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
        if (WaitFor(m_fd, POLLOUT, MsUntil(deadline)) != 1)
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
        const int rc = WaitFor(m_fd, POLLIN, MsUntil(deadline));
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
