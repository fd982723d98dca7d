#pragma once
// The lower page of the monitor: the energy values of one of four tariff
// views, or the eight counters, in its grid inside its frame.
#include "CTabPage.h"

class CDataGridView;
class CMeasurandsAvo;
class QGroupBox;

class CEnergyPage : public CTabPage
{
    Q_OBJECT
public:
    static constexpr int IDD = 131;
    static constexpr int IDC_GRID = 1005;
    static constexpr int IDC_FRAME = 1007;
    // Modes are the lower tab's selections: two views of each tariff, then the counters.
    static constexpr int kModeCount = 5;
    static constexpr int ModeCounter = 4;

    CEnergyPage();

    // Clears the values; modes 0..4 also set the layout and the frame text.
    void SetMode(int mode);
    int GetMode() const { return m_mode; }
    void UpdateValues(const CMeasurandsAvo& block);

    CDataGridView& GetGrid() { return *m_grid; }
    QString GetFrameText() const;

protected:
    bool OnInitDialog() override;

private:
    CDataGridView* m_grid = nullptr;
    QGroupBox* m_frame = nullptr;
    unsigned m_cellWidth = 0;
    int m_mode = 0;
};
