// Measures the monitor window against the simulated unit:
//  (a) over Modbus RTU on a pseudo-terminal, with the unit pacing its line
//      at 38400 baud, the time of one whole refresh cycle (default tabs) next
//      to its line-time bound: the request and reply bytes of the cycle's
//      reads at 38400 baud plus the pause the link takes after each reply;
//  (b) over Modbus TCP on loopback, refresh cycles per second;
//  (c) the processor time the program takes over 10 s while the monitor runs
//      against a unit that does not answer (a silent unit on the serial link,
//      and a refused TCP connection with no unit at all).
#include "comm/CModbusInterface.h"
#include "foundation/Globals.h"
#include "monitor/CBackThread.h"
#include "monitor/CMyDalvexDlg.h"
#include "support/CFenmarUnit.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLineBaud = 38400;
constexpr int kBaudIndex38400 = 5;
constexpr int kBitsPerCharacter = 11; // start, 8 data, parity, stop
constexpr int kReadRequestBytes = 8;
constexpr int kWarmUpCycles = 2;
constexpr int kRtuCycles = 10;
constexpr int kTcpSeconds = 3;
constexpr int kIdleSeconds = 10;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Notes when each command 1 arrives and how many requests the unit had seen
// by then: the thread is between commands, so the counts bound whole cycles.
class BenchThread : public CBackThread
{
public:
    explicit BenchThread(CFenmarUnit* unit) : m_unit(unit) {}
    ~BenchThread() override { Stop(); }

    struct Mark
    {
        Clock::time_point at;
        int requests;
    };
    std::vector<Mark> Marks()
    {
        std::lock_guard lock(m_lock);
        return m_marks;
    }

protected:
    void OnThreadMessage(const ThreadMessage& message) override
    {
        if (message.wParam == CommandIdentification) {
            std::lock_guard lock(m_lock);
            m_marks.push_back({Clock::now(), m_unit ? m_unit->RequestCount() : 0});
        }
        CBackThread::OnThreadMessage(message);
    }

private:
    CFenmarUnit* m_unit;
    std::mutex m_lock;
    std::vector<Mark> m_marks;
};

class BenchMonitor : public CMyDalvexDlg
{
public:
    explicit BenchMonitor(CFenmarUnit* unit) : m_unit(unit) {}
    // Runs the window until done(marks so far) says so, looking every 20 ms;
    // the marks of the run.
    std::vector<BenchThread::Mark> RunUntil(CModbusInterface& link,
                                            const std::function<bool(std::size_t marks)>& done)
    {
        std::vector<BenchThread::Mark> marks;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, this, [&] {
            if (m_bench && marks.empty() && done(m_bench->Marks().size())) {
                marks = m_bench->Marks();
                reject();
            }
        });
        poll.start(20);
        RunModal(link);
        return marks;
    }

protected:
    std::unique_ptr<CBackThread> CreatePollingThread() override
    {
        auto thread = std::make_unique<BenchThread>(m_unit);
        m_bench = thread.get();
        return thread;
    }

private:
    CFenmarUnit* m_unit;
    BenchThread* m_bench = nullptr;
};

CComSettings SerialSettings(const QString& path)
{
    CComSettings settings;
    settings.Mode = CComSettings::ModeSerial;
    settings.COMPortName = path;
    settings.Baudrate = kBaudIndex38400;
    settings.Parity = 0; // a pseudo-terminal keeps no parity
    settings.Address = 1;
    return settings;
}

CComSettings TcpSettings(int port)
{
    CComSettings settings;
    settings.Mode = CComSettings::ModeTcp;
    settings.ServerAddress = QStringLiteral("127.0.0.1");
    settings.ServicePort = QString::number(port);
    settings.Address = 1;
    return settings;
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A loopback port with nobody listening.
int RefusingPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// Line time of the requests from index first to last (RTU frames as sent).
double LineMs(const std::vector<std::vector<std::uint8_t>>& requests, int first, int last, int& bytes)
{
    bytes = 0;
    for (int i = first; i < last; ++i) {
        const std::vector<std::uint8_t>& request = requests[static_cast<std::size_t>(i)];
        const int count = request.size() >= 6 ? (request[4] << 8 | request[5]) : 0;
        bytes += kReadRequestBytes + 5 + 2 * count; // reply: id, function, byte count, data, CRC
    }
    return bytes * kBitsPerCharacter * 1000.0 / kLineBaud;
}

bool BenchRtuCycle()
{
    CFenmarUnit unit;
    const QString path = unit.StartRtu();
    unit.Simulated().SetLinePacing(kLineBaud);
    unit.SetLoadTime(0);
    CModbusInterface link;
    link.SetComSettings(SerialSettings(path));
    BenchMonitor monitor(&unit);
    const std::size_t wanted = kWarmUpCycles + kRtuCycles + 1;
    const auto marks = monitor.RunUntil(link, [&](std::size_t count) { return count >= wanted; });
    if (marks.size() < wanted || monitor.IsError()) {
        std::fprintf(stderr, "the monitor failed on the serial link\n");
        return false;
    }
    const BenchThread::Mark& first = marks[kWarmUpCycles];
    const BenchThread::Mark& last = marks[kWarmUpCycles + kRtuCycles];
    const double cycleMs = Seconds(last.at - first.at) * 1000.0 / kRtuCycles;
    const auto requests = unit.Simulated().Requests();
    int bytes = 0;
    const double lineMs = LineMs(requests, first.requests, last.requests, bytes) / kRtuCycles;
    const double reads = static_cast<double>(last.requests - first.requests) / kRtuCycles;
    // The silence of 3.5 characters before each reply, and the program's pause after it.
    const double pauseMs = reads * (3.5 * kBitsPerCharacter * 1000.0 / kLineBaud + 120000 / kLineBaud + 1);
    const double bound = lineMs + pauseMs;
    std::printf("(a) Modbus RTU on a pseudo-terminal paced at %d baud, one refresh cycle, default tabs (mean of %d)\n",
                kLineBaud, kRtuCycles);
    std::printf("    refresh cycle      %10.1f ms\n", cycleMs);
    std::printf("    line-time bound    %10.1f ms  (%.0f reads, %.0f bytes = %.1f ms, silences and pauses %.1f ms)\n",
                bound, reads, bytes / static_cast<double>(kRtuCycles), lineMs, pauseMs);
    std::printf("    ratio              %10.3f  (target within 15 %%)\n", cycleMs / bound);
    return true;
}

bool BenchTcpCycles()
{
    CFenmarUnit unit;
    const int port = unit.StartTcp();
    unit.SetLoadTime(0);
    CModbusInterface link;
    link.SetComSettings(TcpSettings(port));
    BenchMonitor monitor(&unit);
    Clock::time_point start{};
    bool started = false;
    const auto marks = monitor.RunUntil(link, [&](std::size_t count) {
        if (!started && count > kWarmUpCycles) {
            started = true;
            start = Clock::now();
        }
        return started && Seconds(Clock::now() - start) >= kTcpSeconds;
    });
    if (marks.size() <= kWarmUpCycles + 1 || monitor.IsError()) {
        std::fprintf(stderr, "the monitor failed on the TCP link\n");
        return false;
    }
    const auto& first = marks[kWarmUpCycles];
    const auto& last = marks.back();
    const double cycles = static_cast<double>(marks.size() - 1 - kWarmUpCycles);
    std::printf("(b) Modbus TCP on loopback, default tabs\n");
    std::printf("    refresh cycles     %10.1f /s  (%.0f cycles, %.1f ms each)\n",
                cycles / Seconds(last.at - first.at), cycles, Seconds(last.at - first.at) * 1000.0 / cycles);
    return true;
}

// Processor time of the whole process while the monitor runs for kIdleSeconds.
double IdleCpuShare(CModbusInterface& link, CFenmarUnit* unit)
{
    BenchMonitor monitor(unit);
    Clock::time_point start{};
    double cpuStart = 0;
    bool started = false;
    double share = -1;
    monitor.RunUntil(link, [&](std::size_t) {
        if (!started) {
            started = true;
            start = Clock::now();
            cpuStart = CpuSeconds();
            return false;
        }
        const double elapsed = Seconds(Clock::now() - start);
        if (elapsed < kIdleSeconds)
            return false;
        share = (CpuSeconds() - cpuStart) / elapsed;
        return true;
    });
    return share;
}

void BenchIdle()
{
    std::printf("(c) processor time over %d s against a unit that does not answer (target under 2 %% of one core)\n",
                kIdleSeconds);
    {
        CFenmarUnit unit;
        const QString path = unit.StartRtu();
        unit.Simulated().InjectFault(CSimulatedUnit::Silent(), -1);
        CModbusInterface link;
        link.SetComSettings(SerialSettings(path));
        const double share = IdleCpuShare(link, &unit);
        std::printf("    silent unit, serial link   %6.2f %% of one core (the simulated unit included)\n",
                    share * 100.0);
    }
    {
        CModbusInterface link;
        link.SetComSettings(TcpSettings(RefusingPort()));
        const double share = IdleCpuShare(link, nullptr);
        std::printf("    no unit, TCP refused       %6.2f %% of one core\n", share * 100.0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir profile;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(profile.path()));
    QApplication application(argc, argv);
    g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
    if (!BenchRtuCycle() || !BenchTcpCycles())
        return 1;
    BenchIdle();
    return 0;
}
