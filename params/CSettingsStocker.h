#pragma once
// Brings a parameter set into line with a new unit type: optional resets of
// the model-dependent values, clamps of choices the new type does not offer,
// and the display words that differ between unit families carried across the
// change (the old family's words are stocked, the new family's restored).
#include "CSettings.h"

#include <array>
#include <cstdint>

class CSettingsStocker
{
public:
    virtual ~CSettingsStocker() = default;

    void ChangeDeviceType(int typeIndex, CSettings& settings, bool resetDefaults);

protected:
    // Every step after the new type is set, by the old and new capability
    // masks. The family rules act only on masks that no supported type
    // carries today, so tests reach them here.
    void AdjustToType(std::uint64_t oldCaps, std::uint64_t newCaps, CSettings& settings, bool resetDefaults);

private:
    // The old family's variant words into its stock, and the new family's
    // out of theirs.
    void StockVariantWords(std::uint64_t oldCaps, const CSettings& settings);
    void RestoreVariantWords(std::uint64_t newCaps, CSettings& settings) const;

    // Index 3 stocks the variant words of types with capability bit 33,
    // index 4 those of bit 34.
    std::array<CSettings, 5> m_stock;
};
