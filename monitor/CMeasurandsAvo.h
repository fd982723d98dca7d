#pragma once
// The live state of a unit while the monitor runs: the polling thread writes
// the fields and then notifies; the monitor's window, pages and charts read
// them on the GUI thread after the notification. No lock of its own: writer
// and readers take turns by the polling cycle.
#include "foundation/CObservable.h"

#include <QString>

#include <array>
#include <cstdint>

class CMeasurandsAvo : public CObservable
{
public:
    static constexpr int kItemCount = 32768;
    // Items 0..232 have a text; 233 is the blank cell of the grid layouts.
    static constexpr int kTextItemCount = 233;
    static constexpr int kBlankItem = 233;
    static constexpr int kHarmonicsRows = 10;
    static constexpr int kHarmonicsOrders = 30; // orders 2 to 31
    static constexpr int kPhaseAngleCount = 6;

    // The model codes that the monitor tells apart.
    static constexpr std::uint16_t kModelAvo = 6101;
    static constexpr std::uint16_t kModelAvoq = 6102;
    static constexpr std::uint16_t kModelBex = 6201;
    static constexpr std::uint16_t kModelZendra = 6301;

    // Device-information items.
    static constexpr int kItemModelName = 227;
    static constexpr int kItemFirmwareVersion = 228;
    static constexpr int kItemSerialNumber = 229;
    static constexpr int kItemPasscodeWord = 230;
    static constexpr int kItemProtection = 231;
    static constexpr int kItemTagNumber = 232;

    // Every field starts at zero.
    CMeasurandsAvo();

    // The display text of item 0..232; empty for 233 and any other number.
    QString GetMeasurandText(int item) const;
    // The model name of the block's model code and option bits; empty for an unknown model.
    QString GetModelName() const;
    // Kind 0..13 of item 0..232, -1 for any other number.
    static int GetItemKind(int item);

    // Items 0..226 are written by the polling thread; the others stay 0.
    std::array<std::int32_t, kItemCount> Items{};
    // Row r: harmonic orders 2..31 of quantity r in 0.1 % of the fundamental.
    std::array<std::array<std::uint16_t, kHarmonicsOrders>, kHarmonicsRows> Harmonics{};
    // A full turn is 65536; in the unit's order I1, U1, I2, U2, I3, U3.
    std::array<std::uint16_t, kPhaseAngleCount> PhaseAngles{};
    std::uint32_t WiringSystem = 0;
    std::int32_t CurrentScale = 0;
    std::int32_t VoltageScale = 0;
    std::uint16_t ModelCode = 0;
    std::uint16_t FirmwareVersion = 0; // hundredths: 101 is 1.01
    // Bytes of the registers as stored, two characters a register; no NUL when full.
    std::array<char, 8> SerialNumber{};
    std::array<char, 16> TagNumber{};
    std::uint16_t OptionBits = 0;
    std::array<std::uint16_t, 3> IdentificationWords{};
    std::uint16_t ChannelCount = 0;
    // Nonzero: the unit's Modbus protection is on.
    std::uint32_t ProtectionPasscode = 0;
};
