// The polling thread against the simulated unit over TCP and the serial RTU
// link: what each command reads and where it lands in the block (both
// channels, both word orders, the scales of each model), failures and their
// pacing, the stop sequence, the unit address and the lock.
#include "AnyModelThread.h"
#include "BackThreadFixture.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

struct Row
{
    int firstRegister;
    int values;
    int firstItem;
};

// The register rows of a command on channel 1, and where channel 2 finds them.
std::vector<Row> Rows(int command, int channel)
{
    std::vector<Row> rows;
    int offset = 0;
    switch (command) {
    case 2:
        rows = {{0, 8, 0},     {32, 25, 8},   {256, 5, 89},  {272, 5, 94},  {288, 5, 99},  {304, 5, 104},
                {320, 5, 109}, {512, 3, 114}, {528, 3, 117}, {544, 3, 120}, {560, 3, 123}, {576, 3, 126}};
        offset = 4000;
        break;
    case 3:
        rows = {{768, 7, 129}, {800, 22, 137}, {896, 10, 169}};
        offset = 2000;
        break;
    case 4:
        rows = {{928, 7, 179}, {960, 22, 186}};
        offset = 2000;
        break;
    case 5:
        rows = {{128, 14, 33}, {192, 14, 61}};
        offset = 4000;
        break;
    case 6:
        rows = {{160, 14, 47}, {224, 14, 75}};
        offset = 4000;
        break;
    case 7:
        rows = {{1280, 10, 208}, {864, 10, 159}};
        if (channel == 1)
            return {{8280, 10, 208}, {2864, 10, 159}};
        break;
    case 9:
        return {{3136, 8, 218}};
    }
    if (channel == 1)
        for (Row& row : rows)
            row.firstRegister += offset;
    return rows;
}

// A value per item and channel that tells every item apart; odd items are negative.
std::int32_t Stamp(int item, int channel)
{
    const std::int32_t magnitude = (channel + 1) * 100000 + item * 10 + 7;
    return item % 2 ? -magnitude : magnitude;
}

class BackThreadTest : public BackThreadFixture<std::tuple<LinkKind, std::uint16_t>, AnyModelThread>
{
protected:
    void SetUp() override
    {
        m_unit.SetMonitorWordOrder(WordOrder());
        // The monitor goes by 5375 alone; the other word-order register says the opposite.
        m_unit.SetWordOrder(WordOrder() == 1 ? 0 : 1);
        m_unit.SetLoadTime(0);
        BackThreadFixture::SetUp();
        ASSERT_TRUE(m_thread->Start());
    }

    LinkKind Kind() const override { return std::get<0>(GetParam()); }
    std::uint16_t WordOrder() const { return std::get<1>(GetParam()); }

    std::vector<int> Addresses(const std::vector<CFenmarUnit::Request>& requests) const
    {
        std::vector<int> addresses;
        for (const auto& request : requests)
            addresses.push_back(request.address);
        return addresses;
    }
};

TEST_P(BackThreadTest, RegisterTablesLandInTheirItemsOnBothChannels)
{
    // Command 1 learns the word order the others use.
    Run(CBackThread::CommandIdentification);
    ASSERT_EQ(m_thread->GetWordSwap(), WordOrder() == 1);
    for (int channel = 0; channel < 2; ++channel) {
        m_block.Items.fill(0);
        m_thread->SetChannel(channel);
        std::set<int> filled;
        for (int command : {2, 3, 4, 5, 6, 7, 9}) {
            for (const Row& row : Rows(command, channel))
                for (int i = 0; i < row.values; ++i)
                    m_unit.SetMonitorValue32(row.firstRegister + 2 * i,
                                             static_cast<std::uint32_t>(Stamp(row.firstItem + i, channel)));
        }
        for (int command : {2, 3, 4, 5, 6, 7, 9}) {
            SCOPED_TRACE(testing::Message() << "channel " << channel + 1 << " command " << command);
            const auto requests = Run(static_cast<UINT>(command));
            EXPECT_FALSE(m_thread->GetError());
            const auto rows = Rows(command, channel);
            ASSERT_EQ(requests.size(), rows.size());
            for (std::size_t n = 0; n < rows.size(); ++n) {
                EXPECT_EQ(requests[n].function, 0x04);
                EXPECT_EQ(requests[n].address, rows[n].firstRegister);
                EXPECT_EQ(requests[n].count, 2 * rows[n].values);
                for (int i = 0; i < rows[n].values; ++i) {
                    const int item = rows[n].firstItem + i;
                    EXPECT_EQ(m_block.Items[static_cast<std::size_t>(item)], Stamp(item, channel)) << "item " << item;
                    filled.insert(item);
                }
            }
        }
        EXPECT_EQ(filled.size(), 225u); // items 0..226 but 136 and 226
        for (int item = 0; item < CMeasurandsAvo::kItemCount; ++item) {
            if (!filled.count(item)) {
                ASSERT_EQ(m_block.Items[static_cast<std::size_t>(item)], 0) << "item " << item;
            }
        }
    }
}

TEST_P(BackThreadTest, HarmonicsRowsComeUnswappedFromTheirChannelsTable)
{
    for (int channel = 0; channel < 2; ++channel) {
        m_thread->SetChannel(channel);
        for (int row : {0, 9}) {
            const int first = (channel == 0 ? 1536 : 8536) + 64 * row;
            std::vector<std::uint16_t> words;
            for (int k = 0; k < 30; ++k)
                words.push_back(static_cast<std::uint16_t>(1000 * channel + 100 * row + k + 1));
            m_unit.Simulated().SetRegisters(first, words);
            const auto requests = Run(CBackThread::CommandHarmonics, row);
            ASSERT_EQ(requests.size(), 1u);
            EXPECT_EQ(requests[0].address, first);
            EXPECT_EQ(requests[0].count, 30);
            for (int k = 0; k < 30; ++k)
                EXPECT_EQ(m_block.Harmonics[static_cast<std::size_t>(row)][static_cast<std::size_t>(k)], words[static_cast<std::size_t>(k)]);
        }
    }
    // A row outside the table reads nothing and writes nothing.
    const auto block = m_block.Harmonics;
    EXPECT_TRUE(Run(CBackThread::CommandHarmonics, 10).empty());
    EXPECT_TRUE(Run(CBackThread::CommandHarmonics, -1).empty());
    EXPECT_FALSE(m_thread->GetError());
    EXPECT_EQ(m_block.Harmonics, block);
}

TEST_P(BackThreadTest, IdentificationReadsStatusAnglesAndWiring)
{
    m_unit.SetMonitorValue32(5333, 305419896);
    m_unit.SetRegister(5600, 3);
    for (int channel = 0; channel < 2; ++channel) {
        SCOPED_TRACE(channel);
        m_thread->SetChannel(channel);
        const int angles = channel == 0 ? 30000 : 30100;
        m_unit.Simulated().SetRegisters(angles, {100, 200, 300, 400, 500, static_cast<std::uint16_t>(600 + channel)});
        const auto requests = Run(CBackThread::CommandIdentification);
        EXPECT_FALSE(m_thread->GetError());
        EXPECT_EQ(m_thread->GetWordSwap(), WordOrder() == 1);
        // The identification's own reads, then the monitor's.
        const std::vector<int> expected = {9600, 9601, 9622, 9623, 5375, 5333, 9600, 9622, channel == 0 ? 5335 : 5338,
                                           angles, 5600};
        EXPECT_EQ(Addresses(requests), expected);
        EXPECT_EQ(m_block.ProtectionPasscode, 305419896u);
        EXPECT_EQ(m_block.ModelCode, CFenmarUnit::kModelCode);
        EXPECT_EQ(m_block.FirmwareVersion, 0x0102);
        EXPECT_EQ(m_block.GetMeasurandText(CMeasurandsAvo::kItemSerialNumber).toStdString(), "FN240117");
        EXPECT_EQ(m_block.GetMeasurandText(CMeasurandsAvo::kItemTagNumber).toStdString(), "Panel A");
        EXPECT_EQ(m_block.OptionBits, 0x0011);
        EXPECT_EQ(m_block.IdentificationWords, (std::array<std::uint16_t, 3>{0, 2, 10}));
        EXPECT_EQ(m_block.ChannelCount, 0);
        EXPECT_EQ(m_block.PhaseAngles,
                  (std::array<std::uint16_t, 6>{100, 200, 300, 400, 500, static_cast<std::uint16_t>(600 + channel)}));
        EXPECT_EQ(m_block.WiringSystem, 3u);
        // A model without scales keeps them as they were.
        EXPECT_EQ(m_block.CurrentScale, 0);
        EXPECT_EQ(m_block.VoltageScale, 0);
        EXPECT_EQ(m_thread->GetDeviceType().GetTypeIndex(), 5);
    }
}

TEST_P(BackThreadTest, ScalesOfEachModel)
{
    m_thread->acceptAnyModel = true;
    const auto scales = [this] { return std::pair(m_block.CurrentScale, m_block.VoltageScale); };

    m_unit.SetMonitorModel(6101);
    auto requests = Run(CBackThread::CommandIdentification);
    EXPECT_EQ(scales(), std::pair(5, 300));
    EXPECT_EQ(Addresses(requests), (std::vector<int>{5375, 5333, 9600, 9622, 5335, 30000, 5600, 6752, 6753}));

    m_unit.SetMonitorModel(6201);
    m_unit.SetMonitorValue32(6768, 999);
    requests = Run(CBackThread::CommandIdentification);
    EXPECT_EQ(scales(), std::pair(1, 300)) << "999 / 1000 is raised to 1";
    EXPECT_EQ(Addresses(requests), (std::vector<int>{5375, 5333, 9600, 9622, 5335, 30000, 5600, 6768, 6772}));

    m_unit.SetMonitorModel(6301, 0, 2);
    requests = Run(CBackThread::CommandIdentification);
    EXPECT_EQ(scales(), std::pair(5, 300));
    EXPECT_EQ(Addresses(requests), (std::vector<int>{5375, 5333, 9600, 9622, 5335, 30000, 5600, 5602, 5601, 5603}));
    EXPECT_EQ(m_block.ChannelCount, 2);

    // Channel 2 has its own rated-current code; the voltage scale is shared.
    m_thread->SetChannel(1);
    m_unit.SetRegister(5610, 3);
    requests = Run(CBackThread::CommandIdentification);
    EXPECT_EQ(scales(), std::pair(200, 300));
    EXPECT_EQ(Addresses(requests), (std::vector<int>{5375, 5333, 9600, 9622, 5338, 30100, 5600, 5610, 5603}));
    // A code outside 1 to 5 keeps the current scale.
    m_unit.SetRegister(5610, 9);
    Run(CBackThread::CommandIdentification);
    EXPECT_EQ(scales(), std::pair(200, 300));

    // In loop-test mode no phasor: scales and angles 0, no model registers read.
    m_unit.SetRegister(5338, 1);
    requests = Run(CBackThread::CommandIdentification);
    EXPECT_EQ(scales(), std::pair(0, 0));
    EXPECT_EQ(m_block.PhaseAngles, (std::array<std::uint16_t, 6>{}));
    EXPECT_EQ(Addresses(requests), (std::vector<int>{5375, 5333, 9600, 9622, 5338, 5600}));
    EXPECT_FALSE(m_thread->GetError());
}

TEST_P(BackThreadTest, TheMonitorsOwnModelsFailTheIdentification)
{
    // The program identifies only its own unit: command 1 fails every time
    // for another model, is still notified, and reads nothing after the identification.
    m_unit.SetMonitorModel(6301);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto requests = Run(CBackThread::CommandIdentification);
        EXPECT_TRUE(m_thread->GetError());
        EXPECT_EQ(Addresses(requests), (std::vector<int>{9600, 9601, 9622, 9623}));
    }
    EXPECT_EQ(m_block.ModelCode, 0);
}

INSTANTIATE_TEST_SUITE_P(Links, BackThreadTest,
                         ::testing::Combine(::testing::Values(LinkKind::Tcp, LinkKind::Serial),
                                            ::testing::Values(std::uint16_t{0}, std::uint16_t{1})),
                         [](const auto& info) {
                             return LinkName(std::get<0>(info.param)) + "_Order" +
                                    std::to_string(std::get<1>(info.param));
                         });

} // namespace
