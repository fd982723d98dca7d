// The change of unit type: each step, its order, and the value stock.
#include "params/CSettings.h"
#include "params/CSettingsStocker.h"
#include "SettingsOfType.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr int kAlarmOutputWords[] = {142, 149, 156, 163, 170, 177, 184, 191, 198, 205,
                                     212, 219, 226, 233, 240, 247, 254, 261, 268};

// Reaches the steps that act only on capability bits no supported type
// carries (the unit families with bits 32 to 36).
class FamilyStocker : public CSettingsStocker
{
public:
    using CSettingsStocker::AdjustToType;
};

constexpr std::uint64_t kBase = CAPABILITY_OUTPUT_4_20MA | CAPABILITY_PULSE1 | CAPABILITY_PULSE2;
constexpr std::uint64_t kFamilyA = kBase | CAPABILITY_BIT32;                         // 32 without 34
constexpr std::uint64_t kFamilyB = kBase | CAPABILITY_BIT33;                         // 33 without 35, 20
constexpr std::uint64_t kBit33Plain = kBase | CAPABILITY_BIT33 | CAPABILITY_BIT35 | CAPABILITY_SIX_SYSTEMS;
constexpr std::uint64_t kBit34 = kBase | CAPABILITY_BIT34 | CAPABILITY_BIT35;

void SetVariantWords(CSettings& s, int first)
{
    for (int n = 4; n <= 27; ++n)
        s.SetWord(n, static_cast<std::uint16_t>(first + n));
}

} // namespace

TEST(SettingsStockerTest, StartUpWithResetToTypeFive)
{
    CSettings s = OfType(0);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 1);
    s.SetWord(94, 15);
    s.SetWord(95, 0);
    s.SetWord(132, 7);
    s.SetWord(142, 4);
    s.SetWord(149, 3);
    s.SetWord(268, 0xFFFF); // compared unsigned
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(5, s, true);
    EXPECT_EQ(s.m_deviceType.GetTypeIndex(), 5);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 5);
    EXPECT_EQ(s.GetWord(94), 30);
    EXPECT_EQ(s.GetWord(95), 30);
    EXPECT_EQ(s.GetWord(132), 0);
    EXPECT_EQ(s.GetWord(142), 1);
    EXPECT_EQ(s.GetWord(149), 3);
    EXPECT_EQ(s.GetWord(268), 1);
}

TEST(SettingsStockerTest, ResetThenClampOnATypeWithFourWiringSystems)
{
    // The reset gives 3P4W (5); the type offers four systems, so it ends as 3.
    CSettings s = OfType(5);
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(0, s, true);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 3);
}

TEST(SettingsStockerTest, WiringSystemAndDemandWithoutReset)
{
    CSettings s = OfType(5);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 5);
    s.SetWord(94, 0);
    s.SetWord(95, 0xFFFF);
    s.SetWord(132, 7);
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(9, s, false); // six systems: kept
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 5);
    EXPECT_EQ(s.GetWord(94), 1); // a demand word 0 becomes 1 on every change
    EXPECT_EQ(s.GetWord(95), 0xFFFF);
    EXPECT_EQ(s.GetWord(132), 7);
    stocker.ChangeDeviceType(4, s, false); // four systems
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 3);
    s.SetWord(PARAMETER_INPUT_SYSTEM, 2);
    stocker.ChangeDeviceType(3, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 2);
}

TEST(SettingsStockerTest, AnotherOutputRangeResetsEveryOutputPoint)
{
    CSettings s = OfType(0); // 4-20 mA
    for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT0), 500);
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT100), 1500);
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE + 1), 600);
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE), 1234);
    }
    const CSettings custom = s;
    CSettingsStocker stocker;

    // Same range bit 16: the points stay.
    stocker.ChangeDeviceType(5, s, false);
    for (int n = 272; n < PARAMETER_COUNT; ++n)
        ASSERT_EQ(s.GetWord(n), custom.GetWord(n)) << n;

    // 1-5 V: every output at 0 % and table Y to 1 V, every output at 100 % to 5 V.
    stocker.ChangeDeviceType(4, s, false);
    for (int ch = 0; ch < AOUT_CHANNEL_COUNT; ++ch) {
        EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT0)), 1000) << ch;
        EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_OUTPUT100)), 5000) << ch;
        for (int k = 0; k < AOUT_TABLE_POINTS; ++k) {
            EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE + 2 * k + 1)), 1000);
            EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_TABLE + 2 * k)), k == 0 ? 1234 : 0); // X untouched
        }
    }

    // 0-1 mA.
    stocker.ChangeDeviceType(1, s, false);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(9, AOUT_WORD_OUTPUT0)), 0);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(9, AOUT_WORD_OUTPUT100)), 10000);
    EXPECT_EQ(s.GetWord(551), 0);
}

TEST(SettingsStockerTest, UnknownIndexLeavesTheTypeAndTheOutputs)
{
    CSettings s = OfType(2);
    s.SetWord(AnalogOutputWordNumber(0, AOUT_WORD_OUTPUT0), 123);
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(10, s, false);
    EXPECT_EQ(s.m_deviceType.GetTypeIndex(), 2);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(0, AOUT_WORD_OUTPUT0)), 123);
}

TEST(SettingsStockerTest, FromAnUnknownTypeTheOutputsTakeTheNewDefaults)
{
    CSettings s = OfType(0);
    s.m_deviceType = CDeviceType(6101, 0, 0, 0, 0, 0, 0);
    s.SetWord(AnalogOutputWordNumber(3, AOUT_WORD_OUTPUT100), 123);
    CSettingsStocker stocker;
    stocker.ChangeDeviceType(0, s, false);
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(3, AOUT_WORD_OUTPUT100)), 2000);
}

TEST(SettingsStockerTest, ResetOfTheFamilyValues)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    stocker.AdjustToType(0, kBase | CAPABILITY_DIPSW | CAPABILITY_BIT35 | CAPABILITY_SIX_SYSTEMS, s, true);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_SYSTEM), 3);
    EXPECT_EQ(s.GetWord(98), 1);
    CSettings t = OfType(5);
    stocker.AdjustToType(0, kBase | CAPABILITY_SIX_SYSTEMS, t, true);
    EXPECT_EQ(t.GetWord(PARAMETER_INPUT_SYSTEM), 5);
    EXPECT_EQ(t.GetWord(98), 0);
}

TEST(SettingsStockerTest, DisplayItemsTheNewFamilyLacks)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    s.SetWord(1, 325);
    s.SetWord(132, 336);
    s.SetWord(2, 20);
    s.SetWord(133, 19);
    stocker.AdjustToType(kBase, kFamilyA, s, false);
    EXPECT_EQ(s.GetWord(1), 0);
    EXPECT_EQ(s.GetWord(132), 336);
    EXPECT_EQ(s.GetWord(2), 0);
    EXPECT_EQ(s.GetWord(133), 19);

    // Bit 33 without bit 20: three other bands of line 1 to 3 items go.
    s.SetWord(1, 280);
    s.SetWord(132, 1087);
    s.SetWord(2, 0xFFFF);
    stocker.AdjustToType(kBase, kFamilyB, s, false);
    EXPECT_EQ(s.GetWord(1), 0);
    EXPECT_EQ(s.GetWord(132), 0);
    EXPECT_EQ(s.GetWord(2), 0);
    s.SetWord(1, 816);
    s.SetWord(2, 20);
    stocker.AdjustToType(kBase, kBase, s, false); // neither family: nothing changes
    EXPECT_EQ(s.GetWord(1), 816);
    EXPECT_EQ(s.GetWord(2), 20);
}

TEST(SettingsStockerTest, VariantWordsAreCarriedAcrossAChangeAndBack)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    SetVariantWords(s, 40); // 44 .. 67: none of them clamped

    // Leaving the bit-33 family stocks its words; the bit-34 family gets its
    // own stock, the factory defaults at first.
    stocker.AdjustToType(kBit33Plain, kBit34, s, false);
    const CSettings defaults;
    for (int n = 4; n <= 27; ++n)
        EXPECT_EQ(s.GetWord(n), defaults.GetWord(n)) << n;

    SetVariantWords(s, 60);
    stocker.AdjustToType(kBit34, kBit33Plain, s, false);
    for (int n = 4; n <= 27; ++n)
        EXPECT_EQ(s.GetWord(n), 40 + n) << n;

    stocker.AdjustToType(kBit33Plain, kBit34, s, false);
    for (int n = 4; n <= 27; ++n)
        EXPECT_EQ(s.GetWord(n), 60 + n) << n;

    // A family without either bit neither stocks nor restores.
    SetVariantWords(s, 80);
    stocker.AdjustToType(kBase, kBase, s, false);
    for (int n = 4; n <= 27; ++n)
        EXPECT_EQ(s.GetWord(n), 80 + n) << n;
}

TEST(SettingsStockerTest, RestoredWordsAreClampedForFamilyB)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    SetVariantWords(s, 0);
    s.SetWord(7, 120);
    s.SetWord(11, 119);
    s.SetWord(15, 0xFFFF);
    s.SetWord(5, 11);
    s.SetWord(6, 33);
    stocker.AdjustToType(kBit33Plain, kBase, s, false); // stock

    stocker.AdjustToType(kBase, kFamilyB, s, false); // restore into family B without bit 20
    EXPECT_EQ(s.GetWord(7), 0);
    EXPECT_EQ(s.GetWord(11), 119);
    EXPECT_EQ(s.GetWord(15), 0);
    EXPECT_EQ(s.GetWord(5), 0);
    EXPECT_EQ(s.GetWord(6), 0);
    EXPECT_EQ(s.GetWord(4), 4);
}

TEST(SettingsStockerTest, CtSecondaryOnAndOffTheDipSwitchTypes)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    stocker.AdjustToType(kBase, kBase | CAPABILITY_DIPSW, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_CT2), 0);
    stocker.AdjustToType(kBase | CAPABILITY_DIPSW, kBase, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_CT2), 5);
    s.SetWord(PARAMETER_INPUT_CT2, 3);
    stocker.AdjustToType(kBase, kBase, s, false);
    EXPECT_EQ(s.GetWord(PARAMETER_INPUT_CT2), 3);
}

TEST(SettingsStockerTest, DigitalInputKeepsADemandOfZeroAndLimitsItsFunction)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    s.SetWord(94, 0);
    s.SetWord(106, 3);
    stocker.AdjustToType(kBase, kFamilyA | CAPABILITY_DIGITAL_INPUT1, s, false);
    EXPECT_EQ(s.GetWord(94), 0);
    EXPECT_EQ(s.GetWord(106), 0);
    s.SetWord(106, 2);
    stocker.AdjustToType(kBase, kFamilyA | CAPABILITY_DIGITAL_INPUT1, s, false);
    EXPECT_EQ(s.GetWord(106), 2);
    s.SetWord(106, 3);
    stocker.AdjustToType(kBase, kBase | CAPABILITY_DIGITAL_INPUT1, s, false); // neither family
    EXPECT_EQ(s.GetWord(106), 3);
}

TEST(SettingsStockerTest, PulseSourcesAndAlarmOutputsFollowThePulseOutputs)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    for (int n : {114, 118, 121, 124})
        s.SetWord(n, 9);
    for (int i = 0; i < 19; ++i)
        s.SetWord(kAlarmOutputWords[i], static_cast<std::uint16_t>(i % 7));

    // Four pulse outputs in family A: four sources clamped, alarm outputs up to 5 kept.
    stocker.AdjustToType(kBase, kFamilyA | CAPABILITY_PULSE3 | CAPABILITY_PULSE4, s, false);
    for (int n : {114, 118, 121, 124})
        EXPECT_EQ(s.GetWord(n), 0) << n;
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(s.GetWord(kAlarmOutputWords[i]), i % 7 > 5 ? 1 : i % 7) << i;

    // One pulse output outside the families: sources stay, alarm outputs above 2 become 1.
    for (int n : {114, 118})
        s.SetWord(n, 9);
    stocker.AdjustToType(kBase, CAPABILITY_PULSE1, s, false);
    EXPECT_EQ(s.GetWord(114), 9);
    for (int i = 0; i < 19; ++i)
        EXPECT_LE(s.GetWord(kAlarmOutputWords[i]), 2) << i;

    // Two outputs in family B: only the first two sources are looked at.
    s.SetWord(121, 9);
    stocker.AdjustToType(kBase, kFamilyB, s, false);
    EXPECT_EQ(s.GetWord(114), 0);
    EXPECT_EQ(s.GetWord(118), 0);
    EXPECT_EQ(s.GetWord(121), 9);
}

TEST(SettingsStockerTest, AssignmentsTheFirstFourOutputsCannotCarry)
{
    FamilyStocker stocker;
    CSettings s = OfType(5);
    for (int ch = 0; ch < 5; ++ch)
        s.SetWord(AnalogOutputWordNumber(ch, AOUT_WORD_ASSIGNMENT), ch % 2 ? 33 : 11);
    stocker.AdjustToType(kBase, kFamilyA, s, false); // no bit 33: kept
    EXPECT_EQ(s.GetWord(272), 11);
    stocker.AdjustToType(kBase, kFamilyB, s, false); // bit 16, bit 33, no bit 20
    for (int ch = 0; ch < 4; ++ch)
        EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(ch, AOUT_WORD_ASSIGNMENT)), 0) << ch;
    EXPECT_EQ(s.GetWord(AnalogOutputWordNumber(4, AOUT_WORD_ASSIGNMENT)), 11);
}
