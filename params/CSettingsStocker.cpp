#include "CSettingsStocker.h"

#include "CAnalogOutputEnumerationInterface.h"
#include "CDeviceType.h"

#include <cstddef>
#include <cstdint>

namespace {

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

// What the rules ask of the new type's capability mask.
struct NewType
{
    explicit NewType(std::uint64_t mask)
        : caps(mask)
        , familyA(Has(mask, CAPABILITY_BIT32) && !Has(mask, CAPABILITY_BIT34))
        , familyB(Has(mask, CAPABILITY_BIT33) && !Has(mask, CAPABILITY_BIT35))
        , bit33Without20(Has(mask, CAPABILITY_BIT33) && !Has(mask, CAPABILITY_SIX_SYSTEMS))
    {
    }

    std::uint64_t caps;
    bool familyA;
    bool familyB;
    bool bit33Without20;
};

// The 24 words of the six sigma displays: what differs between the families.
void CopyVariantWords(const CSettings& from, CSettings& to)
{
    for (int display = 0; display < DISPLAY_SIGMA_COUNT; ++display) {
        for (int item = 0; item < DISPLAY_SIGMA_ITEMS; ++item) {
            const int n = DisplaySigmaWordNumber(display, item);
            to.SetWord(n, from.GetWord(n));
        }
    }
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

// The wiring system, the default line 1 to 3 item and the demand periods
// back to what a new unit of the type has.
void ResetModelDefaults(const NewType& type, CSettings& settings)
{
    settings.SetWord(PARAMETER_INPUT_SYSTEM, Has(type.caps, CAPABILITY_DIPSW) ? 3 : 5);
    settings.SetWord(PARAMETER_DEFAULT_L1TO3, 0);
    for (int n : {PARAMETER_DEMAND_I, PARAMETER_DEMAND_E})
        settings.SetWord(n, 30);
    if (Has(type.caps, CAPABILITY_BIT35))
        settings.SetWord(PARAMETER_CALC_OPTION_POWER_FORMAT, 1);
}

// Line 1 to 3 display items the new family does not show.
void ClearLine13Items(const NewType& type, CSettings& settings)
{
    for (int n : {PARAMETER_DISPLAY_L1TO3, PARAMETER_DEFAULT_L1TO3}) {
        const std::uint16_t w = settings.GetWord(n);
        if (type.familyA) {
            if (InRange(w, 320, 335))
                settings.SetWord(n, 0);
        } else if (type.bit33Without20) {
            if (InRange(w, 272, 287) || InRange(w, 800, 815) || InRange(w, 1072, 1087))
                settings.SetWord(n, 0);
        }
    }
}

// Line 4 display items past the families' short list.
void ClearLine4Items(const NewType& type, CSettings& settings)
{
    if (!type.familyA && !type.familyB)
        return;
    for (int n : {PARAMETER_DISPLAY_L4, PARAMETER_DEFAULT_L4}) {
        if (settings.GetWord(n) > 19)
            settings.SetWord(n, 0);
    }
}

// Sigma display items that a restored bit-33 stock may hold but the new type
// does not show.
void ClearRestoredSigmaItems(const NewType& type, CSettings& settings)
{
    if (type.familyB) {
        for (int display = 0; display < DISPLAY_SIGMA_COUNT; ++display) {
            const int n = DisplaySigmaWordNumber(display, DISPLAY_SIGMA_ITEMS - 1);
            if (settings.GetWord(n) > 119)
                settings.SetWord(n, 0);
        }
    }
    if (type.bit33Without20) {
        for (int display = 0; display < DISPLAY_SIGMA_COUNT; ++display) {
            for (int item = 0; item < DISPLAY_SIGMA_ITEMS; ++item) {
                const int n = DisplaySigmaWordNumber(display, item);
                const std::uint16_t w = settings.GetWord(n);
                if (w == 11 || w == 33)
                    settings.SetWord(n, 0);
            }
        }
    }
}

// Four wiring systems only, unless the type offers six.
void LimitWiringSystem(const NewType& type, CSettings& settings)
{
    if (!Has(type.caps, CAPABILITY_SIX_SYSTEMS) && settings.GetWord(PARAMETER_INPUT_SYSTEM) > 3)
        settings.SetWord(PARAMETER_INPUT_SYSTEM, 3);
}

// The CT secondary word also names the current sensor on DIP-switch types:
// 5 A when a type leaves them, the first sensor when it comes to them.
void SwitchCtSecondaryMeaning(std::uint64_t oldCaps, const NewType& type, CSettings& settings)
{
    const bool wasDipSwitch = Has(oldCaps, CAPABILITY_DIPSW);
    const bool isDipSwitch = Has(type.caps, CAPABILITY_DIPSW);
    if (wasDipSwitch && !isDipSwitch)
        settings.SetWord(PARAMETER_INPUT_CT2, 5);
    else if (!wasDipSwitch && isDipSwitch)
        settings.SetWord(PARAMETER_INPUT_CT2, 0);
}

// A demand period of 0 is offered only with a digital input.
void RaiseZeroDemandPeriods(const NewType& type, CSettings& settings)
{
    if (Has(type.caps, CAPABILITY_DIGITAL_INPUT1))
        return;
    for (int n : {PARAMETER_DEMAND_I, PARAMETER_DEMAND_E}) {
        if (settings.GetWord(n) == 0)
            settings.SetWord(n, 1);
    }
}

// The families offer the first three digital input functions only.
void ClearDigitalInputFunction(const NewType& type, CSettings& settings)
{
    if (Has(type.caps, CAPABILITY_DIGITAL_INPUT1) && (type.familyA || type.familyB) &&
        settings.GetWord(PARAMETER_DIN_FUNC) > 2)
        settings.SetWord(PARAMETER_DIN_FUNC, 0);
}

// Pulse sources the families do not offer, and alarm outputs on pulse
// terminals the new type does not have.
void ClearPulseSourcesAndAlarmOutputs(const NewType& type, CSettings& settings)
{
    const int pulseOutputs = PulseOutputCount(type.caps);
    if (type.familyA || type.familyB) {
        for (int output = 0; output < pulseOutputs; ++output) {
            const int n = PulseOutputWordNumber(output, PULSE_WORD_SOURCE);
            if (settings.GetWord(n) > 8)
                settings.SetWord(n, 0);
        }
    }
    for (int group = 0; group < ALARM_GROUP_COUNT; ++group) {
        const int n = AlarmWordNumber(group, ALARM_WORD_SWITCH);
        if (settings.GetWord(n) > pulseOutputs + 1)
            settings.SetWord(n, 1);
    }
}

// Measurands the first four analog outputs cannot carry.
void ClearAnalogOutputMeasurands(const NewType& type, CSettings& settings)
{
    if (!(Has(type.caps, CAPABILITY_OUTPUT_4_20MA) || Has(type.caps, CAPABILITY_OUTPUT_1_5V)) ||
        !type.bit33Without20)
        return;
    for (int ch = 0; ch < 4; ++ch) {
        const int n = AnalogOutputWordNumber(ch, AOUT_WORD_ASSIGNMENT);
        const std::uint16_t w = settings.GetWord(n);
        if (w == 11 || w == 33)
            settings.SetWord(n, 0);
    }
}

// Another output range: every output point takes the new range's defaults.
void ResetOutputPointsOnRangeChange(std::uint64_t oldCaps, const NewType& type, CSettings& settings)
{
    if ((oldCaps & type.caps & CAPABILITY_OUTPUT_RANGES) != 0)
        return;
    const CAnalogOutputEnumerationInterface view(&settings, false);
    const auto output0 = static_cast<std::uint16_t>(view.GetDefaultOutput0());
    const auto output100 = static_cast<std::uint16_t>(view.GetDefaultOutput100());
    for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
        settings.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT0), output0);
        settings.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT100), output100);
        for (int k = 0; k < AOUT_TABLE_POINTS; ++k)
            settings.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE + 2 * k + 1), output0);
    }
}

} // namespace

void CSettingsStocker::ChangeDeviceType(int typeIndex, CSettings& settings, bool resetDefaults)
{
    const std::uint64_t oldCaps = settings.m_deviceType.GetCapabilities();
    settings.m_deviceType.SetTypeIndex(typeIndex);
    const std::uint64_t newCaps = settings.m_deviceType.GetCapabilities();
    AdjustToType(oldCaps, newCaps, settings, resetDefaults);
}

void CSettingsStocker::AdjustToType(std::uint64_t oldCaps, std::uint64_t newCaps, CSettings& settings,
                                    bool resetDefaults)
{
    const NewType type(newCaps);
    if (resetDefaults)
        ResetModelDefaults(type, settings);
    ClearLine13Items(type, settings);
    ClearLine4Items(type, settings);
    StockVariantWords(oldCaps, settings);
    RestoreVariantWords(newCaps, settings);
    LimitWiringSystem(type, settings);
    SwitchCtSecondaryMeaning(oldCaps, type, settings);
    RaiseZeroDemandPeriods(type, settings);
    ClearDigitalInputFunction(type, settings);
    ClearPulseSourcesAndAlarmOutputs(type, settings);
    ClearAnalogOutputMeasurands(type, settings);
    ResetOutputPointsOnRangeChange(oldCaps, type, settings);
}

void CSettingsStocker::StockVariantWords(std::uint64_t oldCaps, const CSettings& settings)
{
    if (Has(oldCaps, CAPABILITY_BIT34))
        CopyVariantWords(settings, m_stock[kStockBit34]);
    else if (Has(oldCaps, CAPABILITY_BIT33))
        CopyVariantWords(settings, m_stock[kStockBit33]);
}

void CSettingsStocker::RestoreVariantWords(std::uint64_t newCaps, CSettings& settings) const
{
    if (Has(newCaps, CAPABILITY_BIT34)) {
        CopyVariantWords(m_stock[kStockBit34], settings);
    } else if (Has(newCaps, CAPABILITY_BIT33)) {
        CopyVariantWords(m_stock[kStockBit33], settings);
        ClearRestoredSigmaItems(NewType(newCaps), settings);
    }
}
