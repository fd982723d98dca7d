#pragma once
// The live figures of a simulated unit: a balanced three-phase load of about
// 230 V and 3.2 A at a lagging power factor near 0.87, whose phasors turn
// slowly, whose figures wobble a little, and whose energy and counters count
// up. Each phase and each channel differs slightly, so that a figure read
// from the wrong register shows. Channel 2 carries about half the current.
#include <cstdint>
#include <vector>

class CSimulatedLoad
{
public:
    struct Value32
    {
        int address;
        std::int32_t value;
    };
    struct Value16
    {
        int address;
        std::uint16_t value;
    };
    struct Image
    {
        std::vector<Value32> values32; // 32-bit values, each at address and address + 1
        std::vector<Value16> values16;
    };

    // The registers of one channel (0 or 1) at seconds after the start.
    static Image Compute(double seconds, int channel);

    // The first and last register of a channel's realtime values, which a
    // unit in loop-test mode takes from the master instead.
    static bool IsRealtimeRegister(int address, int channel);

    // Degrees the phasors turn each second.
    static constexpr double kTurnDegreesPerSecond = 3.0;
};
