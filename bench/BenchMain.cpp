// Measures the Modbus link against the simulated unit:
//  (a) 100-register reads per second over Modbus TCP on loopback, ours next
//      to libmodbus's own client on the same server;
//  (b) the time of one 100-register read over RTU on a pseudo-terminal with
//      the unit pacing its line at 9600 baud, next to the line-time bound.
#include "comm/CModbusInterface.h"
#include "foundation/CPrivateException.h"
#include "support/CSimulatedUnit.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <modbus/modbus.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr int kRegisters = 100;
constexpr double kRunSeconds = 2.0;
constexpr int kRuns = 3;
constexpr int kRtuReads = 10;
constexpr int kLineBaud = 9600;
constexpr int kBitsPerCharacter = 11; // start, 8 data, parity, stop

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Calls per second of one, over kRunSeconds.
double Rate(const std::function<bool()>& one)
{
    long calls = 0;
    const auto start = Clock::now();
    Clock::duration elapsed{};
    do {
        if (!one()) {
            std::fprintf(stderr, "a read failed\n");
            std::exit(1);
        }
        ++calls;
        elapsed = Clock::now() - start;
    } while (Seconds(elapsed) < kRunSeconds);
    return static_cast<double>(calls) / Seconds(elapsed);
}

int BenchTcp()
{
    CSimulatedUnit unit;
    const int port = unit.StartTcp();
    for (int i = 0; i < kRegisters; ++i)
        unit.SetRegister(i, static_cast<std::uint16_t>(i));

    CModbusInterface link;
    CComSettings& settings = link.GetComSettings();
    settings.Mode = CComSettings::ModeTcp;
    settings.ServerAddress = QStringLiteral("127.0.0.1");
    settings.ServicePort = QString::number(port);
    link.Connect();

    modbus_t* client = modbus_new_tcp("127.0.0.1", port);
    if (client == nullptr || modbus_connect(client) != 0) {
        std::fprintf(stderr, "libmodbus client: cannot connect\n");
        return 1;
    }
    std::uint16_t words[kRegisters];
    const auto ours = [&] { return link.ReadRegisters(0, kRegisters, words); };
    const auto theirs = [&] { return modbus_read_input_registers(client, 0, kRegisters, words) == kRegisters; };

    // Warm both up, then alternate runs and keep each side's best.
    Rate([&] { return ours() && theirs(); });
    double bestOurs = 0;
    double bestTheirs = 0;
    for (int run = 0; run < kRuns; ++run) {
        bestOurs = std::max(bestOurs, Rate(ours));
        bestTheirs = std::max(bestTheirs, Rate(theirs));
    }
    modbus_close(client);
    modbus_free(client);
    link.Close();

    std::printf("(a) Modbus TCP, %d-register reads on loopback (best of %d runs of %.0f s)\n", kRegisters, kRuns,
                kRunSeconds);
    std::printf("    CModbusInterface   %10.0f reads/s\n", bestOurs);
    std::printf("    libmodbus client   %10.0f reads/s\n", bestTheirs);
    std::printf("    ratio              %10.2f  (target >= 0.80)\n", bestOurs / bestTheirs);
    return 0;
}

int BenchRtu()
{
    CSimulatedUnit unit;
    const QString path = unit.StartRtu();
    unit.SetLinePacing(kLineBaud);

    CModbusInterface link;
    CComSettings& settings = link.GetComSettings();
    settings.Mode = CComSettings::ModeSerial;
    settings.COMPortName = path;
    settings.Baudrate = 3; // 9600
    link.Connect();

    std::uint16_t words[kRegisters];
    link.ReadRegisters(0, kRegisters, words);
    const auto start = Clock::now();
    for (int i = 0; i < kRtuReads; ++i)
        link.ReadRegisters(0, kRegisters, words);
    const double perRead = Seconds(Clock::now() - start) / kRtuReads * 1000.0;
    link.Close();

    const int requestBytes = 8;
    const int replyBytes = 5 + 2 * kRegisters;
    const double lineMs = (requestBytes + replyBytes) * kBitsPerCharacter * 1000.0 / kLineBaud;
    const int pauseMs = 120000 / kLineBaud + 1;
    const double bound = lineMs + pauseMs;
    std::printf("(b) Modbus RTU on a pseudo-terminal paced at %d baud, one %d-register read (mean of %d)\n", kLineBaud,
                kRegisters, kRtuReads);
    std::printf("    measured           %10.1f ms\n", perRead);
    std::printf("    line-time bound    %10.1f ms  (%d + %d bytes at %d baud = %.1f ms, pause %d ms)\n", bound,
                requestBytes, replyBytes, kLineBaud, lineMs, pauseMs);
    std::printf("    ratio              %10.3f  (target within 10 %%)\n", perRead / bound);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    // A private profile: the settings the bench needs are set in code.
    QTemporaryDir profile;
    qputenv("XDG_CONFIG_HOME", profile.path().toLocal8Bit());
    QCoreApplication application(argc, argv);
    try {
        if (const int rc = BenchTcp())
            return rc;
        return BenchRtu();
    } catch (const CPrivateException& e) {
        std::fprintf(stderr, "%s\n", e.GetText().toLocal8Bit().constData());
        return 1;
    }
}
