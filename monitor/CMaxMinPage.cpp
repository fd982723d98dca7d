#include "CMaxMinPage.h"

#include "CMeasurandsAvo.h"
#include "FillGridWithMeasurands.h"
#include "controls/CDataGridView.h"
#include "foundation/Globals.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int kModeCount = 3;
// Client width of the instantaneous grid: seven columns of 80.
constexpr unsigned kInstantaneousWidth = 560;
constexpr std::uint32_t kBlank = CMeasurandsAvo::kBlankItem;

struct Cell
{
    std::uint32_t column;
    std::uint32_t row;
};

// The instantaneous grid: the value cells in a fixed order, and the item of each cell by mode.
constexpr std::array<Cell, 29> kInstantaneousCells = {{
    {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1},
    {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2},
    {1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3},
    {1, 4}, {2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4},
    {1, 5}, {1, 6}, {1, 7}, {2, 7}, {3, 7},
}};
constexpr std::uint32_t kInstantaneousItems[kModeCount][29] = {
    {1, 0, 2, 3, 4, 5, 15, 8, 18, 21, 24, 27, 16, 9, 19, 22, 25, 28, 17, 10, 20, 23, 26, 29, 12, 13, 14, 11, 6},
    {130, 129, 131, 132, 133, 134, 144, 137, 147, 150, 153, 156, 145, 138, 148, 151, 154, 157,
     146, 139, 149, 152, 155, 158, 141, 142, 143, 140, 135},
    {180, 179, 181, 182, 183, 184, 193, 186, 196, 199, 202, 205, 194, 187, 197, 200, 203, 206,
     195, 188, 198, 201, 204, 207, 190, 191, 192, 189, 185},
};

// The demand grid: the heading row by mode and the row labels of every mode.
constexpr std::uint32_t kDemandHeadings[kModeCount][6] = {
    {999, 1200, 1201, 1202, 1203, 1204},
    {999, 1250, 1251, 1252, 1253, 1254},
    {999, 999, 999, 999, 999, 999},
};
constexpr std::uint32_t kDemandRowLabels[8] = {1001, 1301, 1302, 1303, 1007, 1304, 1305, 1306};
constexpr std::uint32_t kDemandColumns = 5;
constexpr std::uint32_t kDemandRows = 8;

struct Layouts
{
    std::vector<GridCellEntry> instantaneousLabels;
    std::vector<GridCellEntry> instantaneousValues[kModeCount];
    std::vector<GridCellEntry> demandLabels[kModeCount];
    std::vector<GridCellEntry> demandValues[kModeCount];
    // The labels of every mode: the demand grid keeps one width through the modes.
    std::vector<GridCellEntry> allDemandLabels;
};

// The item of demand cell (column 1..5, row 1..8) by mode.
std::uint32_t DemandItem(int mode, std::uint32_t column, std::uint32_t row)
{
    switch (mode) {
    case CMaxMinPage::ModeRealtime:
        // Currents: latest and four histories of five values; powers: of three.
        return row <= 5 ? 89 + (row - 1) + 5 * (column - 1) : 114 + (row - 6) + 3 * (column - 1);
    case CMaxMinPage::ModeMaximum:
        if (column == 1 && row <= 5)
            return 169 + (row - 1);
        if (column == 1 && row == 8)
            return 178;
        if (row == 6 && (column == 2 || column == 3))
            return 174 + (column - 2);
        if (row == 7 && (column == 4 || column == 5))
            return 176 + (column - 4);
        return kBlank;
    default:
        return kBlank;
    }
}

Layouts BuildLayouts()
{
    Layouts layouts;
    const std::uint32_t headings[7] = {999, 1000, 1001, 1002, 1003, 1004, 1005};
    for (std::uint32_t column = 0; column < 7; ++column)
        layouts.instantaneousLabels.push_back({headings[column], column, 0});
    for (std::uint32_t row = 1; row <= 7; ++row)
        layouts.instantaneousLabels.push_back({1100 + (row - 1), 0, row});
    layouts.instantaneousLabels.push_back({1007, 2, 6});
    layouts.instantaneousLabels.push_back({1006, 3, 6});

    for (int mode = 0; mode < kModeCount; ++mode) {
        for (std::size_t i = 0; i < kInstantaneousCells.size(); ++i)
            layouts.instantaneousValues[mode].push_back(
                {kInstantaneousItems[mode][i], kInstantaneousCells[i].column, kInstantaneousCells[i].row});
        for (std::uint32_t column = 0; column <= kDemandColumns; ++column)
            layouts.demandLabels[mode].push_back({kDemandHeadings[mode][column], column, 0});
        for (std::uint32_t row = 1; row <= kDemandRows; ++row)
            layouts.demandLabels[mode].push_back({kDemandRowLabels[row - 1], 0, row});
        for (std::uint32_t row = 1; row <= kDemandRows; ++row) {
            for (std::uint32_t column = 1; column <= kDemandColumns; ++column)
                layouts.demandValues[mode].push_back({DemandItem(mode, column, row), column, row});
        }
        layouts.allDemandLabels.insert(layouts.allDemandLabels.end(), layouts.demandLabels[mode].begin(),
                                       layouts.demandLabels[mode].end());
    }
    return layouts;
}

const Layouts& GetLayouts()
{
    static const Layouts layouts = BuildLayouts();
    return layouts;
}

bool IsMode(int mode)
{
    return mode >= 0 && mode < kModeCount;
}

} // namespace

CMaxMinPage::CMaxMinPage()
    : CTabPage(IDD)
{
    auto* instantaneousFrame = new QGroupBox(QStringLiteral("Instantaneous"), this);
    m_instantaneous = AddControl(new CDataGridView(instantaneousFrame), IDC_INSTANTANEOUS);
    auto* demandFrame = new QGroupBox(QStringLiteral("Demand"), this);
    m_demand = AddControl(new CDataGridView(demandFrame), IDC_DEMAND);

    (new QVBoxLayout(instantaneousFrame))->addWidget(m_instantaneous, 0, Qt::AlignLeft | Qt::AlignTop);
    (new QVBoxLayout(demandFrame))->addWidget(m_demand, 0, Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(instantaneousFrame);
    layout->addWidget(demandFrame);
    layout->addStretch(1);
}

bool CMaxMinPage::OnInitDialog()
{
    g_uxTheme.EnableThemeDialogTexture(this, ETDT_ENABLETAB);
    const Layouts& layouts = GetLayouts();
    // The cells are as wide as the design gives or as their labels need.
    const unsigned instantaneousWidth =
        m_instantaneous->FitCellWidth(layouts.instantaneousLabels, kInstantaneousWidth / 7);
    m_instantaneous->SetLayout(layouts.instantaneousLabels, instantaneousWidth, 0, 0);
    m_demandCellWidth = m_demand->FitCellWidth(layouts.allDemandLabels, kDemandCellWidth);
    m_demand->SetLayout(layouts.demandLabels[ModeRealtime], m_demandCellWidth, 0, 0);
    m_instantaneous->ClearValueCells();
    m_demand->ClearValueCells();
    update();
    m_mode = ModeRealtime;
    return true;
}

void CMaxMinPage::SetMode(int mode)
{
    if (IsMode(mode))
        m_demand->SetLayout(GetLayouts().demandLabels[mode], m_demandCellWidth, 0, 0);
    m_instantaneous->ClearValueCells();
    m_demand->ClearValueCells();
    m_instantaneous->update();
    m_demand->update();
    update();
    m_mode = mode;
}

void CMaxMinPage::UpdateValues(const CMeasurandsAvo& block)
{
    if (!IsMode(m_mode))
        return;
    const Layouts& layouts = GetLayouts();
    FillGridWithMeasurands(*m_instantaneous, block, layouts.instantaneousValues[m_mode]);
    FillGridWithMeasurands(*m_demand, block, layouts.demandValues[m_mode]);
}
