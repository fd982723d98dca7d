#include "CSettingsStocker.h"

#include "CAnalogOutputEnumerationInterface.h"
#include "CDeviceType.h"

#include <cstdint>

namespace {

constexpr int kVariantFirst = DisplaySigmaWordNumber(0, 0);
constexpr int kVariantLast = DisplaySigmaWordNumber(DISPLAY_SIGMA_COUNT - 1, DISPLAY_SIGMA_ITEMS - 1);
constexpr int kLine13Words[] = {PARAMETER_DISPLAY_L1TO3, PARAMETER_DEFAULT_L1TO3};
constexpr int kLine4Words[] = {PARAMETER_DISPLAY_L4, PARAMETER_DEFAULT_L4};
constexpr int kDemandWords[] = {PARAMETER_DEMAND_I, PARAMETER_DEMAND_E};
constexpr std::size_t kStockBit33 = 3;
constexpr std::size_t kStockBit34 = 4;

bool Has(std::uint64_t mask, std::uint64_t bits)
{
    return (mask & bits) != 0;
}

bool InRange(std::uint16_t value, std::uint16_t low, std::uint16_t high)
{
    return value >= low && value <= high;
}

void CopyVariantWords(const CSettings& from, CSettings& to)
{
    for (int n = kVariantFirst; n <= kVariantLast; ++n)
        to.SetWord(n, from.GetWord(n));
}

int PulseOutputCount(std::uint64_t caps)
{
    if (Has(caps, CAPABILITY_PULSE4))
        return 4;
    if (Has(caps, CAPABILITY_PULSE3))
        return 3;
    if (Has(caps, CAPABILITY_PULSE2))
        return 2;
    if (Has(caps, CAPABILITY_PULSE1))
        return 1;
    return 0;
}

} // namespace

void CSettingsStocker::ChangeDeviceType(int typeIndex, CSettings& settings, bool resetDefaults)
{
    // 1. Old and new capabilities.
    const std::uint64_t oldCaps = settings.m_deviceType.GetCapabilities();
    settings.m_deviceType.SetTypeIndex(typeIndex);
    const std::uint64_t newCaps = settings.m_deviceType.GetCapabilities();
    AdjustToType(oldCaps, newCaps, settings, resetDefaults);
}

void CSettingsStocker::AdjustToType(std::uint64_t oldCaps, std::uint64_t newCaps, CSettings& settings,
                                    bool resetDefaults)
{
    const bool familyA = Has(newCaps, CAPABILITY_BIT32) && !Has(newCaps, CAPABILITY_BIT34);
    const bool familyB = Has(newCaps, CAPABILITY_BIT33) && !Has(newCaps, CAPABILITY_BIT35);
    const bool bit33Without20 = Has(newCaps, CAPABILITY_BIT33) && !Has(newCaps, CAPABILITY_SIX_SYSTEMS);

    // 2. Model-dependent values back to their defaults.
    if (resetDefaults) {
        settings.SetWord(PARAMETER_INPUT_SYSTEM, Has(newCaps, CAPABILITY_DIPSW) ? 3 : 5);
        settings.SetWord(PARAMETER_DEFAULT_L1TO3, 0);
        for (int n : kDemandWords)
            settings.SetWord(n, 30);
        if (Has(newCaps, CAPABILITY_BIT35))
            settings.SetWord(PARAMETER_CALC_OPTION_POWER_FORMAT, 1);
    }

    // 3. Line 1 to 3 display items the new family does not show.
    for (int n : kLine13Words) {
        const std::uint16_t w = settings.GetWord(n);
        if (familyA) {
            if (InRange(w, 320, 335))
                settings.SetWord(n, 0);
        } else if (bit33Without20) {
            if (InRange(w, 272, 287) || InRange(w, 800, 815) || InRange(w, 1072, 1087))
                settings.SetWord(n, 0);
        }
    }

    // 4. Line 4 display items.
    if (familyA || familyB) {
        for (int n : kLine4Words) {
            if (settings.GetWord(n) > 19)
                settings.SetWord(n, 0);
        }
    }

    // 5. Stock the old family's variant words ...
    if (Has(oldCaps, CAPABILITY_BIT34))
        CopyVariantWords(settings, m_stock[kStockBit34]);
    else if (Has(oldCaps, CAPABILITY_BIT33))
        CopyVariantWords(settings, m_stock[kStockBit33]);

    // 6. ... and restore the new family's.
    if (Has(newCaps, CAPABILITY_BIT34)) {
        CopyVariantWords(m_stock[kStockBit34], settings);
    } else if (Has(newCaps, CAPABILITY_BIT33)) {
        CopyVariantWords(m_stock[kStockBit33], settings);
        if (familyB) {
            for (int display = 0; display < DISPLAY_SIGMA_COUNT; ++display) {
                const int n = DisplaySigmaWordNumber(display, DISPLAY_SIGMA_ITEMS - 1);
                if (settings.GetWord(n) > 119)
                    settings.SetWord(n, 0);
            }
        }
        if (bit33Without20) {
            for (int n = kVariantFirst; n <= kVariantLast; ++n) {
                const std::uint16_t w = settings.GetWord(n);
                if (w == 11 || w == 33)
                    settings.SetWord(n, 0);
            }
        }
    }

    // 7. Four wiring systems only, unless the type offers six.
    if (!Has(newCaps, CAPABILITY_SIX_SYSTEMS) && settings.GetWord(PARAMETER_INPUT_SYSTEM) > 3)
        settings.SetWord(PARAMETER_INPUT_SYSTEM, 3);

    // 8. The CT secondary word also names the current sensor on DIP-switch types.
    if (Has(oldCaps, CAPABILITY_DIPSW) && !Has(newCaps, CAPABILITY_DIPSW))
        settings.SetWord(PARAMETER_INPUT_CT2, 5);
    else if (!Has(oldCaps, CAPABILITY_DIPSW) && Has(newCaps, CAPABILITY_DIPSW))
        settings.SetWord(PARAMETER_INPUT_CT2, 0);

    // 9. A demand period of 0 is offered only with a digital input.
    if (!Has(newCaps, CAPABILITY_DIGITAL_INPUT1)) {
        for (int n : kDemandWords) {
            if (settings.GetWord(n) == 0)
                settings.SetWord(n, 1);
        }
    }

    // 10. Digital input functions.
    if (Has(newCaps, CAPABILITY_DIGITAL_INPUT1) && (familyA || familyB) && settings.GetWord(PARAMETER_DIN_FUNC) > 2)
        settings.SetWord(PARAMETER_DIN_FUNC, 0);

    // 11. Pulse sources and the alarm outputs that share the pulse terminals.
    const int pulseOutputs = PulseOutputCount(newCaps);
    if (familyA || familyB) {
        for (int i = 0; i < pulseOutputs; ++i) {
            if (settings.GetWord(PulseOutputWordNumber(i, PULSE_WORD_SOURCE)) > 8)
                settings.SetWord(PulseOutputWordNumber(i, PULSE_WORD_SOURCE), 0);
        }
    }
    for (int group = 0; group < ALARM_GROUP_COUNT; ++group) {
        const int n = AlarmWordNumber(group, ALARM_WORD_SWITCH);
        if (settings.GetWord(n) > pulseOutputs + 1)
            settings.SetWord(n, 1);
    }

    // 12. Measurands the first four outputs cannot carry.
    if ((Has(newCaps, CAPABILITY_OUTPUT_4_20MA) || Has(newCaps, CAPABILITY_OUTPUT_1_5V)) && bit33Without20) {
        for (int ch = 0; ch < 4; ++ch) {
            const int n = AnalogOutputWordNumber(ch, AOUT_WORD_ASSIGNMENT);
            const std::uint16_t w = settings.GetWord(n);
            if (w == 11 || w == 33)
                settings.SetWord(n, 0);
        }
    }

    // 13. Another output range: every output point takes the new range's defaults.
    if ((oldCaps & newCaps & CAPABILITY_OUTPUT_RANGES) == 0) {
        const CAnalogOutputEnumerationInterface view(&settings, false);
        const int output0 = view.GetDefaultOutput0();
        const int output100 = view.GetDefaultOutput100();
        for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
            settings.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT0), static_cast<std::uint16_t>(output0));
            settings.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT100), static_cast<std::uint16_t>(output100));
            for (int k = 0; k < AOUT_TABLE_POINTS; ++k)
                settings.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE + 2 * k + 1),
                                 static_cast<std::uint16_t>(output0));
        }
    }
}
