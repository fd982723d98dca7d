#include "CSerialIO.h"

#include "foundation/CMessageFormatter.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "platform/SystemErrorText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

[[noreturn]] void ThrowSettingError()
{
    throw CPrivateException(CMessageFormatter(QStringLiteral("MSG_CANNOT_COM_SETTING")));
}

bool SpeedFor(unsigned baud, speed_t& speed)
{
    struct Entry
    {
        unsigned rate;
        speed_t code;
    };
    static constexpr Entry kSpeeds[] = {
        {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},   {4800, B4800},
        {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600}, {115200, B115200},
        {230400, B230400},
    };
    for (const Entry& e : kSpeeds) {
        if (e.rate == baud) {
            speed = e.code;
            return true;
        }
    }
    return false;
}

// The kernel's own line record. glibc's tcsetattr reads the settings back
// and fails when a pseudo-terminal dropped the parity, which a pty always
// does; the line is set through the kernel's call instead, without a read-back.
struct KernelTermios
{
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
};

std::mutex g_lineSetterLock;
CSerialIO::LineSetter g_lineSetter;

bool SetLine(int fd, const termios& line)
{
    CSerialIO::LineSetter setter;
    {
        std::lock_guard lock(g_lineSetterLock);
        setter = g_lineSetter;
    }
    if (setter)
        return setter(fd, line);
    KernelTermios k{};
    k.c_iflag = line.c_iflag;
    k.c_oflag = line.c_oflag;
    k.c_cflag = line.c_cflag;
    k.c_lflag = line.c_lflag;
    k.c_line = line.c_line;
    std::copy_n(line.c_cc, sizeof k.c_cc, k.c_cc);
    return ::ioctl(fd, TCSETS, &k) == 0;
}

// Milliseconds left until deadline, rounded up so a poll never wakes early.
int MsUntil(Clock::time_point deadline)
{
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}
} // namespace

CSerialIO::CSerialIO() = default;

CSerialIO::~CSerialIO()
{
    Close();
}

void CSerialIO::SetLineSetterForTests(LineSetter setter)
{
    std::lock_guard lock(g_lineSetterLock);
    g_lineSetter = std::move(setter);
}

void CSerialIO::Open(const CComSettings& settings)
{
    m_settings = settings;
    OpenAndConfigure();
}

void CSerialIO::OpenAndConfigure()
{
    OpenPort();
    if (m_settings.Mode == CComSettings::ModeInfrared)
        Configure(1200, 8, 1, 0);
    else
        Configure(m_settings.GetBaudRate(), m_settings.GetByteSize(), static_cast<unsigned>(m_settings.GetParity()),
                  m_settings.GetStopBits());
}

void CSerialIO::OpenPort()
{
    m_devicePath = m_settings.Mode == CComSettings::ModeInfrared ? m_settings.GetIrComPortName()
                                                                  : m_settings.GetComPortName();
    Close();
    const QByteArray path = m_devicePath.toLocal8Bit();
    int fd = -1;
    int error = ENOENT;
    if (!path.isEmpty()) {
        fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        error = errno;
    }
    if (fd >= 0) {
        // TIOCEXCL keeps other openers out, but not root; the lock does. The
        // flag is ours to set only once we hold the lock: cleared by a loser,
        // it would open the holder's port to everyone.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            // Held by another opener: busy, as TIOCEXCL reports it.
            error = errno == EWOULDBLOCK ? EBUSY : errno;
            ::close(fd);
            fd = -1;
        } else {
            ::ioctl(fd, TIOCEXCL);
        }
    }
    if (fd < 0) {
        QString text = FormatPrintfTemplate(g_resourceDatabase.GetMessageText(QStringLiteral("MSG_CANNOT_OPEN_COM")),
                                            {FormatArg(m_settings.GetComPortDisplayName())});
        const QString reason = SystemErrorText(error).trimmed();
        if (!reason.isEmpty())
            text += u'\n' + reason;
        throw CPrivateException(text);
    }
    m_fd = fd;
}

void CSerialIO::Configure(unsigned baud, unsigned dataBits, unsigned parity, unsigned stopBits)
{
    termios line{};
    speed_t speed = 0;
    if (m_fd < 0 || ::tcgetattr(m_fd, &line) != 0 || !SpeedFor(baud, speed))
        ThrowSettingError();

    line.c_iflag = 0; // binary, no parity checking, no XON/XOFF
    line.c_oflag = 0;
    line.c_lflag = 0;
    line.c_cflag = CREAD | CLOCAL;
    switch (dataBits) {
    case 5: line.c_cflag |= CS5; break;
    case 6: line.c_cflag |= CS6; break;
    case 7: line.c_cflag |= CS7; break;
    case 8: line.c_cflag |= CS8; break;
    default: ThrowSettingError();
    }
    switch (parity) {
    case 0: break;
    case 1: line.c_cflag |= PARENB | PARODD; break;
    case 2: line.c_cflag |= PARENB; break;
    case 3: line.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: line.c_cflag |= PARENB | CMSPAR; break;
    default: ThrowSettingError();
    }
    switch (stopBits) {
    case 0: break;
    case 2: line.c_cflag |= CSTOPB; break;
    default: ThrowSettingError();
    }
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    cfsetispeed(&line, speed);
    cfsetospeed(&line, speed);
    // A pseudo-terminal takes the call but ignores some fields: nothing is read back.
    if (!SetLine(m_fd, line))
        ThrowSettingError();
    m_lineBaud = baud;
    // Modem lines are not there on every device (ptys refuse the call).
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(m_fd, TIOCMBIC, &lines);
    ApplyTimeouts();
}

void CSerialIO::SetReadTimeout(unsigned ms)
{
    m_timeouts.readTotalConstant = ms;
    ApplyTimeouts();
}

void CSerialIO::SetTimeouts(unsigned totalConstant, unsigned interval)
{
    m_timeouts.readTotalConstant = totalConstant;
    m_timeouts.readInterval = interval;
    ApplyTimeouts();
}

void CSerialIO::ApplyTimeouts()
{
    // The time-outs are applied by Read itself; only a closed port refuses them.
    if (m_fd < 0)
        ThrowSettingError();
}

std::size_t CSerialIO::Read(std::uint8_t* buffer, std::size_t n)
{
    if (m_fd < 0 || buffer == nullptr || n == 0)
        return 0;
    const unsigned long long totalMs =
        static_cast<unsigned long long>(m_timeouts.readTotalMultiplier) * n + m_timeouts.readTotalConstant;
    const bool hasTotal = totalMs != 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(totalMs);
    const unsigned interval = m_timeouts.readInterval;
    Clock::time_point lastByte{};

    std::size_t got = 0;
    while (got < n) {
        int wait = hasTotal ? MsUntil(deadline) : -1;
        if (interval != 0 && got > 0) {
            const int gap = MsUntil(lastByte + std::chrono::milliseconds(interval));
            wait = wait < 0 ? gap : std::min(wait, gap);
        }
        pollfd p{m_fd, POLLIN, 0};
        const int rc = ::poll(&p, 1, wait);
        if (rc < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (rc == 0)
            break;
        if (p.revents & POLLIN) {
            const ssize_t r = ::read(m_fd, buffer + got, n - got);
            if (r > 0) {
                got += static_cast<std::size_t>(r);
                lastByte = Clock::now();
                continue;
            }
            if (r < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            break;
        }
        // Hang-up or error without data (an adapter pulled out): never spin.
        break;
    }
    return got;
}

std::size_t CSerialIO::Write(const std::uint8_t* buffer, std::size_t n)
{
    if (m_fd < 0)
        ThrowSettingError();
    // Enough for the bytes at the line's rate, with a second to spare.
    const unsigned baud = m_lineBaud != 0 ? m_lineBaud : 1200;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(1000 + n * 11 * 1000 / baud);
    std::size_t written = 0;
    while (written < n) {
        const ssize_t w = ::write(m_fd, buffer + written, n - written);
        if (w > 0) {
            written += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN)
            break;
        const int wait = MsUntil(deadline);
        if (wait == 0)
            break;
        pollfd p{m_fd, POLLOUT, 0};
        if (::poll(&p, 1, wait) < 0 && errno != EINTR)
            break;
    }
    if (written < n)
        ThrowSettingError();
    ::tcdrain(m_fd);
    return written;
}

void CSerialIO::Close()
{
    if (m_fd < 0)
        return;
    // The exclusive flag outlives this descriptor while others hold the tty open.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

void CSerialIO::DiscardPending()
{
    if (m_fd >= 0)
        ::tcflush(m_fd, TCIFLUSH);
}

void CSerialIO::DiscardInput()
{
    if (m_fd < 0)
        return;
    ::tcflush(m_fd, TCIFLUSH);
    // Four characters of 11 bits at the line's rate, and no less than a
    // USB adapter may hold bytes back before it passes them on.
    const unsigned baud = m_lineBaud != 0 ? m_lineBaud : 1200;
    const int quietMs = std::max(20, static_cast<int>(44000 / baud) + 1);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(1000);
    std::uint8_t scrap[512];
    for (;;) {
        const int left = MsUntil(deadline);
        if (left == 0)
            return;
        pollfd p{m_fd, POLLIN, 0};
        const int rc = ::poll(&p, 1, std::min(quietMs, left));
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc <= 0 || (p.revents & POLLIN) == 0)
            return;
        const ssize_t r = ::read(m_fd, scrap, sizeof scrap);
        if (r == 0 || (r < 0 && errno != EAGAIN && errno != EINTR))
            return;
    }
}
