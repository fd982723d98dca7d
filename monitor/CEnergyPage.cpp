#include "CEnergyPage.h"

#include "CMeasurandsAvo.h"
#include "FillGridWithMeasurands.h"
#include "controls/CDataGridView.h"
#include "foundation/CStringTable.h"
#include "foundation/Globals.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include <vector>

namespace {

// Client width of the grid: five columns.
constexpr unsigned kGridWidth = 560;
constexpr unsigned kColumns = 5;
// A least last-row index: every layout keeps the grid's four rows.
constexpr unsigned kLeastLastRow = 3;
constexpr int IDS_ENERGY = 210;
constexpr int IDS_COUNTER = 211;

std::vector<GridCellEntry> Row(std::initializer_list<std::uint32_t> items, std::uint32_t row)
{
    std::vector<GridCellEntry> cells;
    std::uint32_t column = 0;
    for (const std::uint32_t item : items)
        cells.push_back({item, column++, row});
    return cells;
}

std::vector<GridCellEntry> Rows(std::vector<GridCellEntry> first, const std::vector<GridCellEntry>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

struct Layouts
{
    std::vector<GridCellEntry> labels[CEnergyPage::kModeCount];
    std::vector<GridCellEntry> values[CEnergyPage::kModeCount];
    // The labels of every mode: the grid keeps one width through the modes.
    std::vector<GridCellEntry> allLabels;
};

Layouts BuildLayouts()
{
    const auto tenValues = Rows(Row({1400, 1401, 1402, 1403, 1404}, 0), Row({1409, 1405, 1406, 1407, 1408}, 2));
    const auto fiveValues = Row({1400, 1410, 1411, 1412, 1413}, 0);
    const auto counters = Rows(Row({4300, 4301, 4302, 4303, 999}, 0), Row({4304, 4305, 4306, 4307}, 2));
    Layouts layouts;
    layouts.labels[0] = tenValues;
    layouts.labels[1] = fiveValues;
    layouts.labels[2] = tenValues;
    layouts.labels[3] = fiveValues;
    layouts.labels[4] = counters;
    layouts.values[0] = Rows(Row({42, 33, 36, 34, 37}, 1), Row({35, 38, 39, 40, 41}, 3));
    layouts.values[1] = Row({42, 43, 44, 45, 46}, 1);
    layouts.values[2] = Rows(Row({56, 47, 50, 48, 51}, 1), Row({49, 52, 53, 54, 55}, 3));
    layouts.values[3] = Row({56, 57, 58, 59, 60}, 1);
    layouts.values[4] = Rows(Row({218, 219, 220, 221}, 1), Row({222, 223, 224, 225}, 3));
    for (const auto& labels : layouts.labels)
        layouts.allLabels.insert(layouts.allLabels.end(), labels.begin(), labels.end());
    return layouts;
}

const Layouts& GetLayouts()
{
    static const Layouts layouts = BuildLayouts();
    return layouts;
}

bool IsMode(int mode)
{
    return mode >= 0 && mode < CEnergyPage::kModeCount;
}

} // namespace

CEnergyPage::CEnergyPage()
    : CTabPage(IDD)
{
    m_frame = AddControl(new QGroupBox(this), IDC_FRAME);
    m_grid = AddControl(new CDataGridView(m_frame), IDC_GRID);
    (new QVBoxLayout(m_frame))->addWidget(m_grid, 0, Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_frame);
    layout->addStretch(1);
}

bool CEnergyPage::OnInitDialog()
{
    g_uxTheme.EnableThemeDialogTexture(this, ETDT_ENABLETAB);
    // The cells are as wide as the design gives or as their labels need.
    m_cellWidth = m_grid->FitCellWidth(GetLayouts().allLabels, kGridWidth / kColumns);
    m_grid->SetLayout(GetLayouts().labels[0], m_cellWidth, kLeastLastRow, 0);
    SetMode(0);
    return true;
}

void CEnergyPage::SetMode(int mode)
{
    m_grid->ClearValueCells();
    m_grid->update();
    if (IsMode(mode)) {
        m_grid->SetLayout(GetLayouts().labels[mode], m_cellWidth, kLeastLastRow, 0);
        m_frame->setTitle(CStringTable::LoadString(mode == ModeCounter ? IDS_COUNTER : IDS_ENERGY));
    }
    update();
    m_mode = mode;
}

void CEnergyPage::UpdateValues(const CMeasurandsAvo& block)
{
    if (IsMode(m_mode))
        FillGridWithMeasurands(*m_grid, block, GetLayouts().values[m_mode]);
}

QString CEnergyPage::GetFrameText() const
{
    return m_frame->title();
}
