#include "CPulseRateCalcurator.h"

#include "CSettings.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::array<const char*, 9> kWeightTexts = {"0.001", "0.01",   "0.1",     "1.0",     "10.0",
                                                     "100.0", "1000.0", "10000.0", "100000.0"};
constexpr int kChoiceCount = 5;

int DecadeOf(const CSettings& settings)
{
    // 64 bits throughout: 20000 A x 400000 V already overflows 32 bits.
    const std::int64_t ct1 = settings.GetWord(PARAMETER_INPUT_CT1);
    const std::int64_t vt1 = static_cast<std::int32_t>(settings.GetDword(PARAMETER_INPUT_VT1));
    std::int64_t power = ct1 * vt1;
    switch (settings.GetWord(PARAMETER_INPUT_SYSTEM)) {
    case 1:
        power *= 2;
        break;
    case 2:
    case 3:
        // Through the signed type first: a negative VT from a file or a unit
        // must not reach a double-to-unsigned conversion.
        power = static_cast<std::int64_t>(static_cast<double>(power) * std::sqrt(3.0));
        break;
    case 4:
    case 5:
        power *= 3;
        break;
    default:
        break;
    }
    // A negative product wraps to a huge value and so lands in the top decade
    // (it does not fit 32 bits), on every wiring system alike.
    const std::uint64_t kilo = static_cast<std::uint64_t>(power) / 1000;
    if (kilo >= 100000)
        return 5;
    if (kilo >= 10000)
        return 4;
    if (kilo >= 1000)
        return 3;
    if (kilo >= 100)
        return 2;
    if (kilo >= 10)
        return 1;
    return 0;
}

} // namespace

CPulseRateCalcurator::CPulseRateCalcurator(const CSettings& settings) : m_decade(DecadeOf(settings)) {}

QString CPulseRateCalcurator::GetRateText(int index) const
{
    if (index < 0 || index >= kChoiceCount)
        return {};
    const std::size_t position = static_cast<std::size_t>(m_decade + index);
    if (position >= kWeightTexts.size())
        return {};
    return QString::fromLatin1(kWeightTexts[position]);
}
