#pragma once
// The upper page of the monitor: realtime, maximum or minimum values in
// the "Instantaneous" grid and the demand values of the same mode in the
// "Demand" grid.
#include "CTabPage.h"
#include "controls/GridCellEntry.h"

#include <vector>

class CDataGridView;
class CMeasurandsAvo;

class CMaxMinPage : public CTabPage
{
    Q_OBJECT
public:
    static constexpr int IDD = 130;
    static constexpr int IDC_INSTANTANEOUS = 1003;
    static constexpr int IDC_DEMAND = 1004;
    enum Mode
    {
        ModeRealtime = 0,
        ModeMaximum = 1,
        ModeMinimum = 2,
    };
    // Width of the demand grid's cells, unless its labels need more.
    static constexpr unsigned kDemandCellWidth = 80;

    CMaxMinPage();

    // Modes 0..2 also lay out the demand grid for the mode; every mode
    // clears both grids' values until the next UpdateValues.
    void SetMode(int mode);
    int GetMode() const { return m_mode; }
    // Both grids show the values of the current mode (nothing for another mode).
    void UpdateValues(const CMeasurandsAvo& block);

    CDataGridView& GetInstantaneousGrid() { return *m_instantaneous; }
    CDataGridView& GetDemandGrid() { return *m_demand; }

protected:
    bool OnInitDialog() override;

private:
    CDataGridView* m_instantaneous = nullptr;
    CDataGridView* m_demand = nullptr;
    unsigned m_demandCellWidth = kDemandCellWidth;
    int m_mode = ModeRealtime;
};
