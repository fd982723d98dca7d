// Texts of the measurement block by item kind, the device-information items
// and the fill of a grid from a layout.
#include "monitor/CMeasurandsAvo.h"
#include "monitor/FillGridWithMeasurands.h"

#include "controls/CDataGridView.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string Text(const CMeasurandsAvo& block, int item)
{
    return block.GetMeasurandText(item).toStdString();
}

class MeasurandTextTest : public ::testing::Test
{
protected:
    // Number texts follow the C locale whatever the test machine's language.
    void SetUp() override
    {
        m_savedLocale = std::setlocale(LC_NUMERIC, nullptr);
        std::setlocale(LC_NUMERIC, "C");
        m_block = std::make_unique<CMeasurandsAvo>();
    }
    void TearDown() override { std::setlocale(LC_NUMERIC, m_savedLocale.c_str()); }

    void Set(int item, std::int32_t value) { m_block->Items[static_cast<std::size_t>(item)] = value; }

    std::string m_savedLocale;
    std::unique_ptr<CMeasurandsAvo> m_block;
};

TEST_F(MeasurandTextTest, EveryFieldStartsAtZero)
{
    // Filled with garbage first, so a field the constructor leaves alone shows.
    alignas(CMeasurandsAvo) static unsigned char storage[sizeof(CMeasurandsAvo)];
    std::memset(storage, 0xA5, sizeof storage);
    auto* block = new (storage) CMeasurandsAvo();
    for (std::int32_t v : block->Items)
        ASSERT_EQ(v, 0);
    for (const auto& row : block->Harmonics)
        for (std::uint16_t v : row)
            ASSERT_EQ(v, 0);
    for (std::uint16_t v : block->PhaseAngles)
        EXPECT_EQ(v, 0);
    EXPECT_EQ(block->WiringSystem, 0u);
    EXPECT_EQ(block->CurrentScale, 0);
    EXPECT_EQ(block->VoltageScale, 0);
    EXPECT_EQ(block->ModelCode, 0);
    EXPECT_EQ(block->FirmwareVersion, 0);
    EXPECT_EQ(block->OptionBits, 0);
    EXPECT_EQ(block->ChannelCount, 0);
    EXPECT_EQ(block->ProtectionPasscode, 0u);
    for (char c : block->SerialNumber)
        EXPECT_EQ(c, 0);
    for (char c : block->TagNumber)
        EXPECT_EQ(c, 0);
    for (std::uint16_t v : block->IdentificationWords)
        EXPECT_EQ(v, 0);
    block->~CMeasurandsAvo();
}

TEST_F(MeasurandTextTest, KindFormats)
{
    Set(8, -1500); // kind 0
    Set(15, 23012); // kind 1
    Set(6, 5001);   // kind 6
    Set(18, -637);  // kind 2
    Set(225, 123456); // kind 13
    Set(27, 8660);  // kind 5
    Set(30, -1);    // kind 7
    Set(31, 0);
    Set(42, 12345); // kind 11
    Set(208, 85);   // kind 12
    EXPECT_EQ(Text(*m_block, 8), "-1.500");
    EXPECT_EQ(Text(*m_block, 15), "230.12");
    EXPECT_EQ(Text(*m_block, 6), "50.01");
    EXPECT_EQ(Text(*m_block, 18), "-637");
    EXPECT_EQ(Text(*m_block, 225), "123456");
    EXPECT_EQ(Text(*m_block, 27), "0.8660");
    EXPECT_EQ(Text(*m_block, 30), "lead");
    EXPECT_EQ(Text(*m_block, 31), "lag");
    EXPECT_EQ(Text(*m_block, 42), "1234.5");
    EXPECT_EQ(Text(*m_block, 208), "8.5");
    // Items that no command fills show their zero.
    EXPECT_EQ(Text(*m_block, 136), "lag");
    EXPECT_EQ(Text(*m_block, 226), "0.0");
}

TEST_F(MeasurandTextTest, EnergyTakesItsFractionFromTwentyEightItemsOn)
{
    Set(33, 12345);
    Set(61, static_cast<std::int32_t>(2147483648u)); // read unsigned: 500 thousandths
    EXPECT_EQ(Text(*m_block, 33), "1234.5500");
    // The largest fraction word adds 0.1 at most.
    Set(47, 10);
    Set(75, -1);
    EXPECT_EQ(Text(*m_block, 47), "1.1000");
    Set(35, 7);
    EXPECT_EQ(Text(*m_block, 35), "0.7000");
}

TEST_F(MeasurandTextTest, ModelNames)
{
    const auto name = [this](std::uint16_t model, std::uint16_t options) {
        m_block->ModelCode = model;
        m_block->OptionBits = options;
        return Text(*m_block, CMeasurandsAvo::kItemModelName);
    };
    EXPECT_EQ(name(6101, 0x180), "Avo");
    EXPECT_EQ(name(6102, 0), "Avoq");
    EXPECT_EQ(name(6201, 0x180), "Bexa");
    EXPECT_EQ(name(6201, 0x100), "Bexo");
    EXPECT_EQ(name(6201, 0), "Bex");
    EXPECT_EQ(name(6301, 0x80), "Zendra");
    EXPECT_EQ(name(6301, 0x100), "Zendri");
    EXPECT_EQ(name(6301, 0x7F), "Zendro");
    EXPECT_EQ(name(6103, 0x80), "");
    EXPECT_EQ(name(0, 0), "");
}

TEST_F(MeasurandTextTest, ProtectionAndDeviceNumbers)
{
    const auto protection = [this](std::uint16_t model, std::uint16_t version, std::uint32_t passcode) {
        m_block->ModelCode = model;
        m_block->FirmwareVersion = version;
        m_block->ProtectionPasscode = passcode;
        return Text(*m_block, CMeasurandsAvo::kItemProtection);
    };
    EXPECT_EQ(protection(6101, 100, 0), "Not supported");
    EXPECT_EQ(protection(6101, 100, 77), "Not supported");
    EXPECT_EQ(protection(6101, 101, 0), "Protection disabled");
    EXPECT_EQ(protection(6101, 101, 77), "Protection enabled");
    EXPECT_EQ(protection(6102, 0, 1), "Protection enabled");
    EXPECT_EQ(protection(6201, 0, 0), "Protection disabled");
    EXPECT_EQ(protection(6301, 0, 0), "Protection disabled");
    EXPECT_EQ(protection(6103, 300, 5), "Not supported");

    m_block->FirmwareVersion = 101;
    EXPECT_EQ(Text(*m_block, CMeasurandsAvo::kItemFirmwareVersion), "1.01");
    m_block->ProtectionPasscode = 4294967295u;
    EXPECT_EQ(Text(*m_block, CMeasurandsAvo::kItemPasscodeWord), "4294967295");
}

TEST_F(MeasurandTextTest, SerialAndTagStopAtTheirFirstNul)
{
    std::memcpy(m_block->SerialNumber.data(), "FN240117", 8);
    m_block->TagNumber = {'A', 'B'};
    EXPECT_EQ(Text(*m_block, CMeasurandsAvo::kItemSerialNumber), "FN240117");
    EXPECT_EQ(Text(*m_block, CMeasurandsAvo::kItemTagNumber), "AB");
    std::memcpy(m_block->TagNumber.data(), "Feeder 12, row 3", 16);
    EXPECT_EQ(Text(*m_block, CMeasurandsAvo::kItemTagNumber), "Feeder 12, row 3");
    m_block->SerialNumber = {'X', 0, 'Y'};
    EXPECT_EQ(Text(*m_block, CMeasurandsAvo::kItemSerialNumber), "X");
}

TEST_F(MeasurandTextTest, BlankAndUnknownItemsAreEmpty)
{
    Set(233, 5);
    Set(300, 5);
    EXPECT_EQ(Text(*m_block, CMeasurandsAvo::kBlankItem), "");
    EXPECT_EQ(Text(*m_block, 300), "");
    EXPECT_EQ(Text(*m_block, -1), "");
    EXPECT_EQ(Text(*m_block, 40000), "");
    EXPECT_EQ(CMeasurandsAvo::GetItemKind(233), -1);
}

TEST_F(MeasurandTextTest, GridFillReplacesTheValueCellsInTableOrder)
{
    CDataGridView grid;
    grid.AddValueCell(5, 5, QStringLiteral("stale"));
    Set(8, 3200);
    Set(9, 3150);
    const GridCellEntry layout[] = {{8, 1, 1}, {9, 1, 2}, {233, 2, 1}, {9, 1, 1}};
    FillGridWithMeasurands(grid, *m_block, layout);
    const CGridModel& model = grid.Model();
    EXPECT_EQ(model.FindValueText(5, 5), nullptr);
    ASSERT_NE(model.FindValueText(1, 1), nullptr);
    // The first cell added for a place wins.
    EXPECT_EQ(model.FindValueText(1, 1)->toStdString(), "3.200");
    EXPECT_EQ(model.FindValueText(2, 1)->toStdString(), "3.150");
    EXPECT_EQ(model.FindValueText(1, 2)->toStdString(), "");
}

} // namespace
