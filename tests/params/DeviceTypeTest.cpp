// The supported-unit table and identification.
#include "params/CDeviceType.h"

#include <gtest/gtest.h>

#include <bit>

namespace {
constexpr std::uint16_t kOptionBits[DEVICE_TYPE_COUNT] = {0x0001, 0x1000, 0x0800, 0x0400, 0x0004,
                                                          0x0011, 0x1010, 0x0810, 0x0410, 0x0014};

CDeviceType Unit(std::uint16_t options, std::uint16_t io1 = 2)
{
    return CDeviceType(6103, options, 0, io1, 10, 0, 0);
}
} // namespace

TEST(DeviceTypeTest, EverySupportedOptionWordIdentifiesItsRow)
{
    for (int row = 0; row < DEVICE_TYPE_COUNT; ++row) {
        const CDeviceType type = Unit(kOptionBits[row]);
        EXPECT_EQ(type.GetRow(), -1) << "identified lazily";
        EXPECT_EQ(type.GetTypeIndex(), row);
        EXPECT_EQ(type.GetCapabilities(), g_deviceTypeTable[static_cast<std::size_t>(row)].capabilities);
        // Bits 4-9, 38 and 56 on every row, and exactly one output range.
        const std::uint64_t caps = type.GetCapabilities();
        EXPECT_EQ(caps & 0x01000040000003F0, 0x01000040000003F0u);
        EXPECT_EQ(std::popcount(caps & CAPABILITY_OUTPUT_RANGES), 1);
        EXPECT_EQ(type.HasCapability(0, CapabilityHigh(CAPABILITY_DIPSW)), false) << "bit 36 on no row";
        EXPECT_EQ(type.HasCapability(CapabilityLow(CAPABILITY_SIX_SYSTEMS), 0), row >= 5);
    }
}

TEST(DeviceTypeTest, UnknownWordsMatchNoRowAndAnswerUnknown)
{
    for (const CDeviceType& type : {Unit(0x0000), Unit(0x0019), Unit(0x0011, 3), CDeviceType(6101, 0x0011, 0, 2, 10, 0, 0),
                                    CDeviceType()}) {
        EXPECT_EQ(type.GetTypeIndex(), 0);
        EXPECT_EQ(type.GetCapabilities(), 0u);
        EXPECT_FALSE(type.HasCapability(0xFFFFFFFFu, 0xFFFFFFFFu));
        EXPECT_EQ(type.GetRow(), -1);
    }
}

TEST(DeviceTypeTest, SetTypeIndexFillsTheRowsWordsAndIgnoresOtherIndexes)
{
    CDeviceType type;
    type.SetTypeIndex(7);
    EXPECT_EQ(type.GetRow(), 7);
    EXPECT_EQ(type.GetModelCode(), 6103);
    EXPECT_EQ(type.GetVersion(), 0xFFFF);
    EXPECT_EQ(type.GetOptionBits(), 0x0810);
    const std::uint16_t io[5] = {0, 2, 10, 0, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(type.GetIoWord(i), io[i]);
    EXPECT_EQ(type.GetIoWord(5), 0) << "past the five words";
    EXPECT_EQ(type.GetIoWord(-1), 0);

    for (int bad : {10, -1, 1000}) {
        type.SetTypeIndex(bad);
        EXPECT_EQ(type.GetRow(), 7);
        EXPECT_EQ(type.GetOptionBits(), 0x0810);
    }
}

TEST(DeviceTypeTest, IsDifferentTypeComparesRowsWithoutIdentifying)
{
    CDeviceType a;
    a.SetTypeIndex(3);
    CDeviceType b;
    b.SetTypeIndex(3);
    EXPECT_FALSE(a.IsDifferentType(b));
    b.SetTypeIndex(4);
    EXPECT_TRUE(a.IsDifferentType(b));

    // The same words, but not yet identified: counts as different.
    const CDeviceType unidentified = Unit(0x0400);
    EXPECT_TRUE(unidentified.IsDifferentType(a));
    EXPECT_EQ(unidentified.GetTypeIndex(), 3);
    EXPECT_FALSE(unidentified.IsDifferentType(a));
}
