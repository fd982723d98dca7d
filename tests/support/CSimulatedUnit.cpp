#include "CSimulatedUnit.h"

#include <modbus/modbus.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;
constexpr int kRegisterCount = 0x10000;

modbus_t* Ctx(void* p)
{
    return static_cast<modbus_t*>(p);
}
modbus_mapping_t* Map(void* p)
{
    return static_cast<modbus_mapping_t*>(p);
}

// The time `tenths` tenths of a character take on the line.
Clock::duration LineTime(std::size_t tenths, int baud, int bits)
{
    return std::chrono::microseconds(static_cast<long long>(tenths) * bits * 100000LL / baud);
}
constexpr std::size_t kFrameGapTenths = 35;
} // namespace

CSimulatedUnit::CSimulatedUnit()
{
    modbus_mapping_t* mapping = modbus_mapping_new(0, 0, kRegisterCount, 0);
    if (mapping == nullptr)
        throw std::runtime_error("modbus_mapping_new failed");
    // Reads of input registers and writes of holding registers share one space.
    mapping->tab_input_registers = mapping->tab_registers;
    mapping->nb_input_registers = mapping->nb_registers;
    m_mapping = mapping;
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_captureFds) != 0)
        throw std::runtime_error("socketpair failed");
    ::fcntl(m_captureFds[1], F_SETFL, O_NONBLOCK);
}

CSimulatedUnit::~CSimulatedUnit()
{
    Stop();
    modbus_mapping_t* mapping = Map(m_mapping);
    mapping->tab_input_registers = nullptr;
    modbus_mapping_free(mapping);
    ::close(m_captureFds[0]);
    ::close(m_captureFds[1]);
    ::close(m_wakeFd);
}

int CSimulatedUnit::StartTcp()
{
    Stop();
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", 0);
    if (ctx == nullptr)
        throw std::runtime_error("modbus_new_tcp failed");
    m_context = ctx;
    m_listenFd = modbus_tcp_listen(ctx, 4);
    if (m_listenFd < 0)
        throw std::runtime_error("modbus_tcp_listen failed");
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length);
    Start(true);
    return ntohs(address.sin_port);
}

QString CSimulatedUnit::StartRtu()
{
    Stop();
    char name[128] = {};
    if (::openpty(&m_masterFd, &m_slaveFd, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    // Raw from the start, so nothing is echoed back before the master opens
    // the port; the unit keeps its own slave descriptor so the pair never hangs up.
    termios line{};
    ::tcgetattr(m_slaveFd, &line);
    ::cfmakeraw(&line);
    ::tcsetattr(m_slaveFd, TCSANOW, &line);
    ::fcntl(m_masterFd, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slaveFd, F_SETFD, FD_CLOEXEC);

    modbus_t* ctx = modbus_new_rtu(name, 9600, 'N', 8, 1);
    if (ctx == nullptr)
        throw std::runtime_error("modbus_new_rtu failed");
    m_context = ctx;
    {
        std::lock_guard lock(m_lock);
        modbus_set_slave(ctx, m_unitId);
    }
    // libmodbus frames the request by its length, not by line silence.
    modbus_set_socket(ctx, m_masterFd);
    Start(false);
    return QString::fromLocal8Bit(name);
}

void CSimulatedUnit::Start(bool tcp)
{
    m_tcp = tcp;
    m_stop = false;
    {
        std::lock_guard lock(m_lock);
        m_dropRequested = false;
    }
    m_thread = std::thread([this] { Run(); });
}

void CSimulatedUnit::Stop()
{
    if (m_thread.joinable()) {
        m_stop = true;
        Wake();
        m_thread.join();
    }
    for (int fd : m_clients)
        ::close(fd);
    m_clients.clear();
    for (int* fd : {&m_listenFd, &m_masterFd, &m_slaveFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    if (m_context != nullptr) {
        modbus_set_socket(Ctx(m_context), -1);
        modbus_free(Ctx(m_context));
        m_context = nullptr;
    }
    std::lock_guard lock(m_lock);
    m_scheduled.clear();
}

void CSimulatedUnit::Wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t w = ::write(m_wakeFd, &one, sizeof one);
}

void CSimulatedUnit::SetUnitId(int unitId)
{
    std::lock_guard lock(m_lock);
    m_unitId = unitId;
}

void CSimulatedUnit::SetRegister(int address, std::uint16_t value)
{
    if (address < 0 || address >= kRegisterCount)
        return;
    std::lock_guard lock(m_registersLock);
    Map(m_mapping)->tab_registers[address] = value;
}

std::uint16_t CSimulatedUnit::GetRegister(int address) const
{
    if (address < 0 || address >= kRegisterCount)
        return 0;
    std::lock_guard lock(m_registersLock);
    return Map(m_mapping)->tab_registers[address];
}

void CSimulatedUnit::SetRegisters(int address, const std::vector<std::uint16_t>& values)
{
    std::lock_guard lock(m_registersLock);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const long long at = address + static_cast<long long>(i);
        if (at >= 0 && at < kRegisterCount)
            Map(m_mapping)->tab_registers[at] = values[i];
    }
}

std::vector<std::uint16_t> CSimulatedUnit::GetRegisters(int address, int count) const
{
    std::vector<std::uint16_t> values;
    std::lock_guard lock(m_registersLock);
    for (int i = 0; i < count; ++i) {
        const long long at = address + static_cast<long long>(i);
        values.push_back(at >= 0 && at < kRegisterCount ? Map(m_mapping)->tab_registers[at] : 0);
    }
    return values;
}

void CSimulatedUnit::SetWriteHook(WriteHook hook)
{
    std::lock_guard lock(m_lock);
    m_writeHook = std::move(hook);
}

void CSimulatedUnit::InjectFault(const Fault& fault, int requests)
{
    std::lock_guard lock(m_lock);
    m_faults.emplace_back(fault, requests);
}

void CSimulatedUnit::ClearFaults()
{
    std::lock_guard lock(m_lock);
    m_faults.clear();
}

void CSimulatedUnit::SetLinePacing(int baud, int bitsPerCharacter)
{
    std::lock_guard lock(m_lock);
    m_pacingBaud = baud;
    m_pacingBits = bitsPerCharacter;
}

void CSimulatedUnit::DropConnections()
{
    std::unique_lock lock(m_lock);
    m_dropRequested = true;
    Wake();
    if (m_thread.joinable())
        m_requestCame.wait_for(lock, std::chrono::seconds(5), [&] { return !m_dropRequested; });
}

int CSimulatedUnit::RequestCount() const
{
    std::lock_guard lock(m_lock);
    return static_cast<int>(m_requests.size());
}

std::vector<std::vector<std::uint8_t>> CSimulatedUnit::Requests() const
{
    std::lock_guard lock(m_lock);
    return m_requests;
}

std::vector<std::uint8_t> CSimulatedUnit::LastRequest() const
{
    std::lock_guard lock(m_lock);
    return m_requests.empty() ? std::vector<std::uint8_t>{} : m_requests.back();
}

bool CSimulatedUnit::WaitForRequests(int count, int timeoutMs) const
{
    std::unique_lock lock(m_lock);
    return m_requestCame.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return static_cast<int>(m_requests.size()) >= count; });
}

CSimulatedUnit::Fault CSimulatedUnit::NextFault()
{
    std::lock_guard lock(m_lock);
    if (m_faults.empty())
        return {};
    auto& [fault, remaining] = m_faults.front();
    const Fault result = fault;
    if (remaining > 0 && --remaining == 0)
        m_faults.pop_front();
    return result;
}

void CSimulatedUnit::CloseClient(int fd)
{
    ::close(fd);
    m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), fd), m_clients.end());
    std::lock_guard lock(m_lock);
    m_scheduled.erase(std::remove_if(m_scheduled.begin(), m_scheduled.end(),
                                     [fd](const Scheduled& s) { return s.fd == fd; }),
                      m_scheduled.end());
}

void CSimulatedUnit::Run()
{
    while (!m_stop) {
        std::vector<pollfd> fds{{m_wakeFd, POLLIN, 0}};
        if (m_tcp) {
            fds.push_back({m_listenFd, POLLIN, 0});
            for (int fd : m_clients)
                fds.push_back({fd, POLLIN, 0});
        } else {
            fds.push_back({m_masterFd, POLLIN, 0});
        }

        int timeout = -1;
        {
            std::lock_guard lock(m_lock);
            for (const Scheduled& s : m_scheduled) {
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(s.due - Clock::now()).count();
                const int ms = static_cast<int>(std::max<long long>(0, left));
                timeout = timeout < 0 ? ms : std::min(timeout, ms);
            }
        }
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR)
            break;

        // Held-back replies that are due.
        std::vector<Scheduled> due;
        {
            std::lock_guard lock(m_lock);
            const auto now = Clock::now();
            for (auto it = m_scheduled.begin(); it != m_scheduled.end();) {
                if (it->due <= now) {
                    due.push_back(std::move(*it));
                    it = m_scheduled.erase(it);
                } else {
                    ++it;
                }
            }
        }
        for (const Scheduled& s : due) {
            Send(s.fd, s.bytes);
            if (s.delayed)
                ++m_delayedSent;
        }

        if (fds[0].revents & POLLIN) {
            std::uint64_t value = 0;
            [[maybe_unused]] const ssize_t r = ::read(m_wakeFd, &value, sizeof value);
            std::unique_lock lock(m_lock);
            if (m_dropRequested) {
                lock.unlock();
                for (int fd : std::vector<int>(m_clients))
                    CloseClient(fd);
                lock.lock();
                m_dropRequested = false;
                m_requestCame.notify_all();
            }
        }
        if (m_stop)
            break;

        if (!m_tcp) {
            if (fds[1].revents & POLLIN)
                HandleRequest(m_masterFd);
            continue;
        }
        if (fds[1].revents & POLLIN) {
            int listenFd = m_listenFd;
            const int fd = modbus_tcp_accept(Ctx(m_context), &listenFd);
            if (fd >= 0) {
                m_clients.push_back(fd);
                ++m_accepted;
            }
        }
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
                continue;
            if (std::find(m_clients.begin(), m_clients.end(), fds[i].fd) == m_clients.end())
                continue;
            if (!HandleRequest(fds[i].fd))
                CloseClient(fds[i].fd);
        }
    }
}

bool CSimulatedUnit::HandleRequest(int fd)
{
    modbus_t* ctx = Ctx(m_context);
    modbus_set_socket(ctx, fd);
    std::uint8_t request[MODBUS_TCP_MAX_ADU_LENGTH];
    const int length = modbus_receive(ctx, request);
    if (length < 0)
        return !m_tcp; // a TCP peer that went away; RTU line noise is skipped
    if (length == 0)
        return true; // another unit's request

    int pacing = 0;
    int bits = 0;
    {
        std::lock_guard lock(m_lock);
        m_requests.emplace_back(request, request + length);
        m_requestCame.notify_all();
        pacing = m_pacingBaud;
        bits = m_pacingBits;
    }
    const Fault fault = NextFault();
    // A unit knows the request has ended only once the line has been quiet.
    auto answerAt = Clock::now();
    if (!m_tcp && pacing > 0) {
        answerAt += LineTime(10 * static_cast<std::size_t>(length) + kFrameGapTenths, pacing, bits);
        std::this_thread::sleep_until(answerAt);
    }

    switch (fault.kind) {
    case FaultKind::Silent: return true;
    case FaultKind::DropConnection: return !m_tcp;
    default: break;
    }

    std::vector<std::uint8_t> reply = BuildReply(request, length, fault);
    modbus_set_socket(ctx, fd);
    if (reply.empty())
        return true;

    switch (fault.kind) {
    case FaultKind::CorruptCrc:
        reply.back() ^= 0xFF;
        break;
    case FaultKind::OtherTransaction:
        if (m_tcp) {
            const int tid = (reply[0] << 8 | reply[1]) + (fault.value != 0 ? fault.value : 1);
            reply[0] = static_cast<std::uint8_t>(tid >> 8 & 0xFF);
            reply[1] = static_cast<std::uint8_t>(tid & 0xFF);
        }
        break;
    case FaultKind::CutShort:
        reply.resize(std::min(reply.size(), static_cast<std::size_t>(std::max(0, fault.value))));
        break;
    case FaultKind::Delay: {
        std::lock_guard lock(m_lock);
        m_scheduled.push_back({fd, Clock::now() + std::chrono::milliseconds(fault.value), std::move(reply), true});
        return true;
    }
    case FaultKind::SplitTcp: {
        const std::size_t first = std::min(reply.size(), static_cast<std::size_t>(std::max(0, fault.value)));
        Send(fd, std::vector<std::uint8_t>(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(first)));
        std::lock_guard lock(m_lock);
        m_scheduled.push_back({fd, Clock::now() + std::chrono::milliseconds(fault.value2),
                               std::vector<std::uint8_t>(reply.begin() + static_cast<std::ptrdiff_t>(first), reply.end()),
                               false});
        return true;
    }
    default: break;
    }
    Send(fd, reply, answerAt);
    return true;
}

std::vector<std::uint8_t> CSimulatedUnit::BuildReply(const std::uint8_t* request, int length, const Fault& fault)
{
    modbus_t* ctx = Ctx(m_context);
    const int offset = modbus_get_header_length(ctx);
    // libmodbus writes its reply into the capture pair, so that the bytes can
    // be spoiled or held back before they reach the master.
    modbus_set_socket(ctx, m_captureFds[0]);

    if (fault.kind == FaultKind::Exception) {
        modbus_reply_exception(ctx, request, static_cast<unsigned>(fault.value));
    } else if (request[offset] == MODBUS_FC_WRITE_MULTIPLE_REGISTERS && length >= offset + 6) {
        const int address = request[offset + 1] << 8 | request[offset + 2];
        const int count = request[offset + 3] << 8 | request[offset + 4];
        WriteDecision decision;
        WriteHook hook;
        {
            std::lock_guard lock(m_lock);
            hook = m_writeHook;
        }
        const bool wellFormed = count >= 1 && count <= MODBUS_MAX_WRITE_REGISTERS &&
                                request[offset + 5] == 2 * count && length >= offset + 6 + 2 * count;
        if (hook && wellFormed) {
            std::vector<std::uint16_t> words(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i)
                words[static_cast<std::size_t>(i)] =
                    static_cast<std::uint16_t>(request[offset + 6 + 2 * i] << 8 | request[offset + 7 + 2 * i]);
            decision = hook(address, count, words.data());
        }
        if (decision.action == WriteAction::Refuse) {
            modbus_reply_exception(ctx, request, static_cast<unsigned>(decision.exceptionCode));
        } else {
            std::lock_guard lock(m_registersLock);
            std::vector<std::uint16_t> kept;
            if (decision.action == WriteAction::Ignore)
                kept.assign(Map(m_mapping)->tab_registers + address,
                            Map(m_mapping)->tab_registers + std::min(address + count, kRegisterCount));
            modbus_reply(ctx, request, length, Map(m_mapping));
            std::copy(kept.begin(), kept.end(), Map(m_mapping)->tab_registers + address);
        }
    } else {
        std::lock_guard lock(m_registersLock);
        modbus_reply(ctx, request, length, Map(m_mapping));
    }

    std::vector<std::uint8_t> reply;
    std::uint8_t chunk[512];
    for (;;) {
        const ssize_t r = ::read(m_captureFds[1], chunk, sizeof chunk);
        if (r <= 0)
            break;
        reply.insert(reply.end(), chunk, chunk + r);
    }
    return reply;
}

void CSimulatedUnit::Send(int fd, const std::vector<std::uint8_t>& bytes, Clock::time_point start)
{
    int pacing = 0;
    int bits = 0;
    {
        std::lock_guard lock(m_lock);
        pacing = m_pacingBaud;
        bits = m_pacingBits;
    }
    if (!m_tcp && pacing > 0) {
        // One character at a time, at the line's rate.
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            std::this_thread::sleep_until(start + LineTime(10 * (i + 1), pacing, bits));
            [[maybe_unused]] const ssize_t w = ::write(fd, &bytes[i], 1);
        }
        return;
    }
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t s = m_tcp ? ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL)
                                : ::write(fd, bytes.data() + sent, bytes.size() - sent);
        if (s < 0 && errno == EINTR)
            continue;
        if (s <= 0)
            return;
        sent += static_cast<std::size_t>(s);
    }
}
