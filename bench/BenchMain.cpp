// Measures the Modbus link against the simulated unit:
//  (a) 100-register reads per second over Modbus TCP on loopback, ours next
//      to libmodbus's own client on the same server;
//  (b) the time of one 100-register read over RTU on a pseudo-terminal with
//      the unit pacing its line at 9600 baud, next to the line-time bound;
//  (c) a whole upload and (d) a whole download of a parameter set over that
//      line, for the supported unit type with the most registers, each next
//      to its bound.
#include "comm/CModbusInterface.h"
#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"
#include "params/CSettings.h"
#include "params/RegisterMap.h"
#include "support/CFenmarUnit.h"
#include "support/CSimulatedUnit.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <modbus/modbus.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

constexpr int kRegisters = 100;
constexpr double kRunSeconds = 2.0;
constexpr int kRuns = 3;
constexpr int kRtuReads = 10;
constexpr int kBaudIndex9600 = 3;
constexpr int kTransferRuns = 5;
constexpr double kFrameGapCharacters = 3.5;

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

// One request and its reply as they go over an RTU line (unit id to CRC).
struct Exchange
{
    bool write = false;
    int address = 0;
    int count = 0;

    int RequestBytes() const { return write ? 9 + 2 * count : 8; }
    int ReplyBytes() const { return write ? 8 : 5 + 2 * count; }
    bool operator==(const Exchange&) const = default;
};

// The serial line as the link's settings set it up.
struct RtuLine
{
    unsigned baud = 0;
    unsigned bitsPerCharacter = 0; // start, data, parity, stop

    double Ms(double characters) const { return characters * bitsPerCharacter * 1000.0 / baud; }
    // What the program waits after every reply.
    double PauseMs() const { return 120000 / baud + 1; }
};

RtuLine LineOf(const CComSettings& settings)
{
    const unsigned stopBits = settings.GetStopBits() == 2 ? 2 : 1;
    return {settings.GetBaudRate(),
            1 + settings.GetByteSize() + (settings.GetParity() != 0 ? 1u : 0u) + stopBits};
}

// The least time a run of exchanges can take on the line.
struct Bound
{
    int requests = 0;
    int bytesOut = 0;
    int bytesIn = 0;
    double lineMs = 0;  // every request and reply
    double gapMs = 0;   // the silence that ends each request before its reply
    double pauseMs = 0; // after each reply the program's pause, or the silence before the next request if longer

    void Add(const Exchange& e, const RtuLine& line)
    {
        ++requests;
        bytesOut += e.RequestBytes();
        bytesIn += e.ReplyBytes();
        lineMs += line.Ms(e.RequestBytes() + e.ReplyBytes());
        gapMs += line.Ms(kFrameGapCharacters);
        pauseMs += std::max(line.PauseMs(), line.Ms(kFrameGapCharacters));
    }
    void Add(const std::vector<Exchange>& exchanges, const RtuLine& line)
    {
        for (const Exchange& e : exchanges)
            Add(e, line);
    }
    double TotalMs() const { return lineMs + gapMs + pauseMs; }
};

CComSettings SerialSettings(const QString& path)
{
    CComSettings settings;
    settings.Mode = CComSettings::ModeSerial;
    settings.COMPortName = path;
    settings.Baudrate = kBaudIndex9600;
    return settings;
}

void PrintBound(const Bound& bound, const RtuLine& line)
{
    std::printf("    line time          %10.1f ms  (%d bytes out, %d in, %u bits a character at %u baud)\n",
                bound.lineMs, bound.bytesOut, bound.bytesIn, line.bitsPerCharacter, line.baud);
    std::printf("    frame silences     %10.1f ms  (%d x 3.5 characters = %.2f ms, before each reply)\n", bound.gapMs,
                bound.requests, line.Ms(kFrameGapCharacters));
    std::printf("    pauses             %10.1f ms  (%d x %.0f ms after each reply)\n", bound.pauseMs, bound.requests,
                std::max(line.PauseMs(), line.Ms(kFrameGapCharacters)));
    std::printf("    bound              %10.1f ms\n", bound.TotalMs());
}

void PrintRatio(double measuredMs, const Bound& bound, const char* target, const char* how = "")
{
    std::printf("    measured           %10.1f ms%s\n", measuredMs, how);
    std::printf("    ratio              %10.3f  (target %s)\n", measuredMs / bound.TotalMs(), target);
}

int BenchRtu()
{
    CSimulatedUnit unit;
    const QString path = unit.StartRtu();
    CModbusInterface link;
    link.SetComSettings(SerialSettings(path));
    const RtuLine line = LineOf(link.GetComSettings());
    unit.SetLinePacing(static_cast<int>(line.baud), static_cast<int>(line.bitsPerCharacter));
    link.Connect();

    std::uint16_t words[kRegisters];
    link.ReadRegisters(0, kRegisters, words);
    const auto start = Clock::now();
    for (int i = 0; i < kRtuReads; ++i)
        link.ReadRegisters(0, kRegisters, words);
    const double perRead = Seconds(Clock::now() - start) / kRtuReads * 1000.0;
    link.Close();

    Bound bound;
    bound.Add(Exchange{false, 0, kRegisters}, line);
    std::printf("(b) Modbus RTU on a pseudo-terminal paced at %u baud, one %d-register read (mean of %d)\n", line.baud,
                kRegisters, kRtuReads);
    PrintBound(bound, line);
    PrintRatio(perRead, bound, "within 10 %");
    return 0;
}

// ---------------------------------------------------------------------------
// Upload and download

int RegistersOf(std::uint64_t capabilities)
{
    int registers = 0;
    for (const RegisterMapRow& row : g_registerMap) {
        if (row.AppliesTo(capabilities))
            registers += static_cast<int>(row.WordCount());
    }
    return registers;
}

// The reads of the upload: one a row that applies.
std::vector<Exchange> UploadRows(std::uint64_t capabilities)
{
    std::vector<Exchange> reads;
    for (const RegisterMapRow& row : g_registerMap) {
        if (row.AppliesTo(capabilities))
            reads.push_back({false, static_cast<int>(row.firstRegister), static_cast<int>(row.WordCount())});
    }
    return reads;
}

// The writes of the download: the rows that apply, gathered into blocks.
std::vector<Exchange> DownloadBlocks(std::uint64_t capabilities)
{
    std::vector<Exchange> writes;
    bool open = false;
    std::uint32_t start = 0;
    for (const RegisterMapRow& row : g_registerMap) {
        if (!row.AppliesTo(capabilities))
            continue;
        if (!open)
            start = row.firstRegister;
        open = !row.endsBlock;
        if (row.endsBlock)
            writes.push_back(
                {true, static_cast<int>(start), static_cast<int>(row.firstRegister + row.WordCount() - start)});
    }
    return writes;
}

std::vector<Exchange> LoggedExchanges(const CFenmarUnit& unit, int from, int to)
{
    std::vector<Exchange> exchanges;
    for (const CFenmarUnit::Request& r : unit.DecodedRequests(from)) {
        if (static_cast<int>(exchanges.size()) == to - from)
            break;
        exchanges.push_back({r.function == 0x10, r.address, r.count});
    }
    return exchanges;
}

QString Listed(const std::vector<Exchange>& exchanges)
{
    QStringList items;
    for (const Exchange& e : exchanges)
        items << QStringLiteral("%1 %2x%3")
                     .arg(e.write ? QLatin1Char('W') : QLatin1Char('R'))
                     .arg(e.address)
                     .arg(e.count);
    return items.isEmpty() ? QStringLiteral("none") : items.join(QStringLiteral(", "));
}

struct Measured
{
    double bestMs = 0; // the least: what the program takes when nothing else on the machine holds it up
    double meanMs = 0;
    std::vector<Exchange> requests; // of one run, as the unit logged them
};

// Runs a transfer kTransferRuns times; every run must send the same requests.
bool Measure(CFenmarUnit& unit, const std::function<bool()>& transfer, Measured& result)
{
    double totalMs = 0;
    for (int run = 0; run < kTransferRuns; ++run) {
        const int from = unit.RequestCount();
        const auto start = Clock::now();
        if (!transfer())
            return false;
        const double ms = Seconds(Clock::now() - start) * 1000.0;
        result.bestMs = run == 0 ? ms : std::min(result.bestMs, ms);
        totalMs += ms;
        const std::vector<Exchange> requests = LoggedExchanges(unit, from, unit.RequestCount());
        if (run > 0 && requests != result.requests) {
            std::fprintf(stderr, "two runs sent different requests\n");
            return false;
        }
        result.requests = requests;
    }
    result.meanMs = totalMs / kTransferRuns;
    return true;
}

// Breaks the logged requests into the register map's (which must stand there
// as derived, in one run) and the others, and prints the bound they make.
bool ReportTransfer(const Measured& measured, const std::vector<Exchange>& mapRequests, const char* mapWhat,
                    const RtuLine& line)
{
    const auto at = std::search(measured.requests.begin(), measured.requests.end(), mapRequests.begin(),
                                mapRequests.end());
    if (mapRequests.empty() || at == measured.requests.end()) {
        std::fprintf(stderr, "the unit's log lacks the %s derived from the register map\n", mapWhat);
        return false;
    }
    std::vector<Exchange> before(measured.requests.begin(), at);
    std::vector<Exchange> after(at + static_cast<std::ptrdiff_t>(mapRequests.size()), measured.requests.end());
    Bound map;
    map.Add(mapRequests, line);
    Bound others;
    others.Add(before, line);
    others.Add(after, line);
    Bound bound = map;
    bound.Add(before, line);
    bound.Add(after, line);

    std::printf("    %-18s %4d requests, %5d bytes out, %5d in, line time %7.1f ms\n", mapWhat, map.requests,
                map.bytesOut, map.bytesIn, map.lineMs);
    std::printf("    %-18s %4d requests, %5d bytes out, %5d in, line time %7.1f ms\n", "other requests",
                others.requests, others.bytesOut, others.bytesIn, others.lineMs);
    std::printf("      before: %s\n", Listed(before).toLocal8Bit().constData());
    std::printf("      after:  %s\n", Listed(after).toLocal8Bit().constData());
    PrintBound(bound, line);
    char how[64];
    std::snprintf(how, sizeof how, "  (best of %d; mean %.1f ms)", kTransferRuns, measured.meanMs);
    PrintRatio(measured.bestMs, bound, "within 2 %", how);
    return true;
}

int BenchTransfers()
{
    // The supported type whose applying rows hold the most registers; the first of equals.
    std::vector<int> registers;
    for (const DeviceTypeRow& row : g_deviceTypeTable)
        registers.push_back(RegistersOf(row.capabilities));
    const auto most = std::max_element(registers.begin(), registers.end());
    const int type = static_cast<int>(most - registers.begin());
    const auto equals = std::count(registers.begin(), registers.end(), *most);
    const std::uint64_t capabilities = g_deviceTypeTable[static_cast<std::size_t>(type)].capabilities;
    const std::vector<Exchange> rows = UploadRows(capabilities);

    CFenmarUnit unit;
    unit.SetType(type);
    const QString path = unit.StartRtu();
    CModbusInterface link;
    link.SetComSettings(SerialSettings(path));
    const RtuLine line = LineOf(link.GetComSettings());
    unit.Simulated().SetLinePacing(static_cast<int>(line.baud), static_cast<int>(line.bitsPerCharacter));
    link.Connect();

    CSettings set;
    Measured upload;
    if (!Measure(unit, [&] { return set.Upload(link, nullptr, nullptr); }, upload))
        return 1;
    std::printf("(c) upload of a parameter set over Modbus RTU at %u baud, unit type %d: %d register-map rows, %d "
                "registers, the most of the %d supported types (%d hold as many)\n",
                line.baud, type, static_cast<int>(rows.size()), *most, DEVICE_TYPE_COUNT, static_cast<int>(equals));
    if (!ReportTransfer(upload, rows, "register-map rows", line))
        return 1;

    Measured download;
    if (!Measure(unit, [&] { return set.Download(link, nullptr, nullptr); }, download))
        return 1;
    std::printf("(d) download of the same set over the same line\n");
    if (!ReportTransfer(download, DownloadBlocks(capabilities), "register-map blocks", line))
        return 1;
    link.Close();
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
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
        if (const int rc = BenchTcp())
            return rc;
        if (const int rc = BenchRtu())
            return rc;
        return BenchTransfers();
    } catch (const CPrivateException& e) {
        std::fprintf(stderr, "%s\n", e.GetText().toLocal8Bit().constData());
        return 1;
    }
}
