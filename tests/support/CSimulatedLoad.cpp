#include "CSimulatedLoad.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Phase
{
    double voltage; // V
    double current; // A
    double angle;   // degrees the current lags its voltage
};

std::int32_t Round(double value)
{
    return static_cast<std::int32_t>(std::lround(value));
}

std::uint16_t Angle16(double degrees)
{
    double turn = std::fmod(degrees, 360.0);
    if (turn < 0)
        turn += 360.0;
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(std::lround(turn * 65536.0 / 360.0)) & 0xFFFF);
}

} // namespace

bool CSimulatedLoad::IsRealtimeRegister(int address, int channel)
{
    const int offset = address - (channel == 0 ? 0 : 4000);
    return (offset >= 0 && offset < 16) || (offset >= 32 && offset < 82);
}

CSimulatedLoad::Image CSimulatedLoad::Compute(double t, int channel)
{
    Image image;
    const int base = channel == 0 ? 0 : 4000;      // realtime, demand, energy
    const int extremes = channel == 0 ? 0 : 2000;  // maxima, minima
    const double load = channel == 0 ? 1.0 : 0.5;
    const auto put = [&image](int address, double value) { image.values32.push_back({address, Round(value)}); };
    const auto put16 = [&image](int address, double value) {
        image.values16.push_back({address, static_cast<std::uint16_t>(std::lround(value))});
    };

    // A slow wobble of a few tenths of a percent, different per phase.
    const auto wobble = [t](int k, double amplitude) { return 1.0 + amplitude * std::sin(0.7 * t + 1.3 * k); };
    Phase phases[3];
    for (int k = 0; k < 3; ++k) {
        phases[k].voltage = (229.5 + 0.4 * k) * wobble(k, 0.002);
        phases[k].current = load * (3.15 + 0.05 * k) * wobble(k + 3, 0.01);
        phases[k].angle = 30.0 + 2.0 * k + 1.5 * std::sin(0.3 * t + k);
    }
    double p[3], q[3], s[3], pf[3];
    for (int k = 0; k < 3; ++k) {
        const double a = phases[k].angle * kPi / 180.0;
        s[k] = phases[k].voltage * phases[k].current;
        p[k] = s[k] * std::cos(a);
        q[k] = s[k] * std::sin(a);
        pf[k] = std::cos(a);
    }
    const double sumP = p[0] + p[1] + p[2];
    const double sumQ = q[0] + q[1] + q[2];
    const double sumS = s[0] + s[1] + s[2];
    const double sumPf = sumP / sumS;
    const double avgI = (phases[0].current + phases[1].current + phases[2].current) / 3;
    const double avgV = (phases[0].voltage + phases[1].voltage + phases[2].voltage) / 3;
    const double neutral = load * 0.05 * wobble(7, 0.2);
    const double frequency = 50.0 + 0.02 * std::sin(0.2 * t);
    double lineVoltage[3];
    for (int k = 0; k < 3; ++k)
        lineVoltage[k] = std::sqrt(3.0) * (phases[k].voltage + phases[(k + 1) % 3].voltage) / 2;

    // Realtime: sums at 0, phases at 32.
    const double sums[8] = {avgI * 1000, avgV * 100, sumP, sumQ, sumS, sumPf * 10000, frequency * 100, 0};
    for (int i = 0; i < 8; ++i)
        put(base + 2 * i, sums[i]);
    std::vector<double> each;
    for (int k = 0; k < 3; ++k)
        each.push_back(phases[k].current * 1000);
    each.push_back(neutral * 1000);
    for (int k = 0; k < 3; ++k)
        each.push_back(lineVoltage[k] * 100);
    for (int k = 0; k < 3; ++k)
        each.push_back(phases[k].voltage * 100);
    for (const double* quantity : {p, q, s})
        for (int k = 0; k < 3; ++k)
            each.push_back(quantity[k]);
    for (int k = 0; k < 3; ++k)
        each.push_back(pf[k] * 10000);
    for (int k = 0; k < 3; ++k)
        each.push_back(0); // lagging
    for (std::size_t i = 0; i < each.size(); ++i)
        put(base + 32 + 2 * static_cast<int>(i), each[i]);

    // Current demand (latest, history 1-4) and power demand.
    for (int h = 0; h < 5; ++h) {
        const double f = 1.0 - 0.03 * h;
        const double demand[5] = {avgI * f * 1000, phases[0].current * f * 1000, phases[1].current * f * 1000,
                                  phases[2].current * f * 1000, neutral * f * 1000};
        for (int i = 0; i < 5; ++i)
            put(base + 256 + 16 * h + 2 * i, demand[i]);
        const double power[3] = {sumP * f, sumQ * f, sumS * f};
        for (int i = 0; i < 3; ++i)
            put(base + 512 + 16 * h + 2 * i, power[i]);
    }

    // Maxima and minima: the nominal figures with the wobble's reach.
    for (int m = 0; m < 2; ++m) {
        const double f = m == 0 ? 1.02 : 0.98;
        const int first = extremes + (m == 0 ? 768 : 928);
        const int perPhase = extremes + (m == 0 ? 800 : 960);
        for (int i = 0; i < 7; ++i)
            put(first + 2 * i, (i == 5 ? sums[i] / f : sums[i] * f));
        for (std::size_t i = 0; i < 22; ++i) {
            const bool powerFactor = i >= 19;
            put(perPhase + 2 * static_cast<int>(i), powerFactor ? each[i] / f : each[i] * f);
        }
    }
    // Maximum demand: I, I1-3, IN, P in, P out, Q LAG, Q LEAD, S.
    const double maxDemand[10] = {avgI * 1100,        phases[0].current * 1100, phases[1].current * 1100,
                                  phases[2].current * 1100, neutral * 1100,   sumP * 1.1, 0, sumQ * 1.1, 0,
                                  sumS * 1.1};
    for (int i = 0; i < 10; ++i)
        put(extremes + 896 + 2 * i, maxDemand[i]);

    // Energy: high tariff counts up from a start reading, low tariff stands.
    // Each figure is tenths of a kWh (kvarh, kVAh) and a fraction word.
    const double hours = t / 3600.0;
    const double start = channel == 0 ? 12345.6 : 2345.6;
    const double high[14] = {start + sumP / 1000 * hours, start / 2 + sumQ / 1000 * hours,
                             start * 1.15 + sumS / 1000 * hours, 0, 0, start / 2 + sumQ / 1000 * hours, 0, 0, 0,
                             0, start / 2 + sumQ / 1000 * hours, 0, start + sumP / 1000 * hours,
                             start / 2 + sumQ / 1000 * hours};
    const double low[14] = {start / 3, start / 6, start / 2.6, 0, 0, start / 6, 0, 0, 0, 0, start / 6, 0, start / 3,
                            start / 6};
    for (int tariff = 0; tariff < 2; ++tariff) {
        const double* energy = tariff == 0 ? high : low;
        const int whole = base + (tariff == 0 ? 128 : 160);
        const int fraction = base + (tariff == 0 ? 192 : 224);
        for (int i = 0; i < 14; ++i) {
            if (i == 9) {
                // Time under load, in tenths of an hour.
                put(whole + 2 * i, (tariff == 0 ? 1234.0 + hours : 987.0) * 10);
                put(fraction + 2 * i, 0);
                continue;
            }
            const double tenths = energy[i] * 10;
            const double wholeTenths = std::floor(tenths);
            image.values32.push_back({whole + 2 * i, Round(wholeTenths)});
            const auto word = static_cast<std::uint32_t>((tenths - wholeTenths) * 1000.0) * 4294967u;
            image.values32.push_back({fraction + 2 * i, static_cast<std::int32_t>(word)});
        }
    }

    // Harmonic content: odd orders falling off, a little of the even ones;
    // currents carry more than voltages, the neutral most.
    const int harmonicsBase = channel == 0 ? 1536 : 8536;
    double thd[10];
    for (int r = 0; r < 10; ++r) {
        const double strength = r < 3 ? 1.0 : r == 3 ? 3.0 : 0.3;
        double squares = 0;
        for (int order = 2; order <= 31; ++order) {
            const double percent = (order % 2 ? 18.0 / order : 0.6 / order) * strength * wobble(r + order, 0.05);
            const double tenths = std::min(1000.0, percent * 10 + r * 0.1 * (order == 3));
            squares += tenths * tenths;
            put16(harmonicsBase + 64 * r + (order - 2), tenths);
        }
        thd[r] = std::sqrt(squares);
    }
    // Total harmonic distortion: latest and maximum, in tenths of a percent.
    for (int r = 0; r < 10; ++r) {
        put((channel == 0 ? 1280 : 8280) + 2 * r, thd[r]);
        put((channel == 0 ? 864 : 2864) + 2 * r, thd[r] * 1.2);
    }

    // Phase angles in the unit's order I1, U1, I2, U2, I3, U3.
    const double turn = kTurnDegreesPerSecond * t + (channel == 0 ? 0.0 : 10.0);
    const int angles = channel == 0 ? 30000 : 30100;
    for (int k = 0; k < 3; ++k) {
        const double voltage = turn + 120.0 * k;
        put16(angles + 2 * k, Angle16(voltage + phases[k].angle));
        put16(angles + 2 * k + 1, Angle16(voltage));
    }

    // Counters (the same registers on both channels; channel 0 writes them).
    if (channel == 0) {
        for (int i = 0; i < 8; ++i)
            put(3136 + 2 * i, 1000 * (i + 1) + std::floor(t * (i + 1)));
    }
    return image;
}
