// Pulse weights: the decade of the rated power and the weight texts.
#include "params/CPulseRateCalcurator.h"
#include "params/CSettings.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

CSettings Input(int system, std::uint16_t ct1, std::int32_t vt1)
{
    CSettings s;
    s.SetWord(PARAMETER_INPUT_SYSTEM, static_cast<std::uint16_t>(system));
    s.SetWord(PARAMETER_INPUT_CT1, ct1);
    s.SetDword(PARAMETER_INPUT_VT1, static_cast<std::uint32_t>(vt1));
    return s;
}

// The weight of choice 0 names the decade.
QString FirstWeight(int system, std::uint16_t ct1, std::int32_t vt1)
{
    return CPulseRateCalcurator(Input(system, ct1, vt1)).GetRateText(0);
}

} // namespace

TEST(PulseRateTest, FactoryDefaultsOfferTheLowestFiveWeights)
{
    const CPulseRateCalcurator calc{CSettings()}; // system 5, CT 5 A, VT 110 V: 1 kW
    EXPECT_EQ(calc.GetRateText(0), QStringLiteral("0.001"));
    EXPECT_EQ(calc.GetRateText(1), QStringLiteral("0.01"));
    EXPECT_EQ(calc.GetRateText(2), QStringLiteral("0.1"));
    EXPECT_EQ(calc.GetRateText(3), QStringLiteral("1.0"));
    EXPECT_EQ(calc.GetRateText(4), QStringLiteral("10.0"));
    EXPECT_EQ(calc.GetRateText(5), QString());
    EXPECT_EQ(calc.GetRateText(-1), QString());
    EXPECT_EQ(calc.GetRateText(65535), QString());
    EXPECT_EQ(FirstWeight(1, 5, 110), QStringLiteral("0.001"));
}

TEST(PulseRateTest, LargestRatingNeedsSixtyFourBitsAndHasNoFifthChoice)
{
    // 20000 A x 400000 V x 3 is far beyond 32 bits.
    const CPulseRateCalcurator calc{Input(4, 20000, 400000)};
    EXPECT_EQ(calc.GetRateText(0), QStringLiteral("100.0"));
    EXPECT_EQ(calc.GetRateText(1), QStringLiteral("1000.0"));
    EXPECT_EQ(calc.GetRateText(2), QStringLiteral("10000.0"));
    EXPECT_EQ(calc.GetRateText(3), QStringLiteral("100000.0"));
    EXPECT_EQ(calc.GetRateText(4), QString());
}

TEST(PulseRateTest, DecadeBordersInKilowatts)
{
    // System 0 leaves the product as it is: CT 1 A and VT in volts give watts.
    const struct
    {
        std::int32_t vt1;
        const char* weight;
    } cases[] = {
        {9999, "0.001"},       {10000, "0.01"},      {99999, "0.01"},      {100000, "0.1"},
        {999999, "0.1"},       {1000000, "1.0"},     {9999999, "1.0"},     {10000000, "10.0"},
        {99999999, "10.0"},    {100000000, "100.0"}, {2147483647, "100.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirstWeight(0, 1, c.vt1), QString::fromLatin1(c.weight)) << c.vt1;
}

TEST(PulseRateTest, WiringSystemFactors)
{
    // 10 kW is the first border: VT 5000 V on 1 A.
    EXPECT_EQ(FirstWeight(1, 1, 5000), QStringLiteral("0.01"));  // x 2
    EXPECT_EQ(FirstWeight(1, 1, 4999), QStringLiteral("0.001"));
    EXPECT_EQ(FirstWeight(2, 1, 5774), QStringLiteral("0.01"));  // x sqrt 3: 10000.7 W
    EXPECT_EQ(FirstWeight(3, 1, 5773), QStringLiteral("0.001")); // 9998.97 W
    EXPECT_EQ(FirstWeight(4, 1, 3334), QStringLiteral("0.01"));  // x 3
    EXPECT_EQ(FirstWeight(5, 1, 3333), QStringLiteral("0.001"));
    EXPECT_EQ(FirstWeight(0, 1, 9999), QStringLiteral("0.001")); // x 1
    EXPECT_EQ(FirstWeight(6, 1, 9999), QStringLiteral("0.001")); // unknown systems x 1
    EXPECT_EQ(FirstWeight(65535, 1, 10000), QStringLiteral("0.01"));
}

TEST(PulseRateTest, CtPrimaryIsUnsigned)
{
    EXPECT_EQ(FirstWeight(0, 65535, 1000), QStringLiteral("10.0")); // 65.5 MW, not -1 kW
}

TEST(PulseRateTest, NegativeVtLandsInTheTopDecadeOnEverySystem)
{
    for (int system = 0; system <= 6; ++system)
        EXPECT_EQ(FirstWeight(system, 5, -110), QStringLiteral("100.0")) << system;
    const CPulseRateCalcurator calc{Input(2, 65535, INT32_MIN)};
    EXPECT_EQ(calc.GetRateText(0), QStringLiteral("100.0"));
    EXPECT_EQ(calc.GetRateText(3), QStringLiteral("100000.0"));
    EXPECT_EQ(calc.GetRateText(4), QString());
}
