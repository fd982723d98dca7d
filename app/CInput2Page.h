#pragma once
// The input page: the VT rating edits and a grid of CT
// sensor cells edited in place. The main window holds one but never shows
// it, and its layout tables are filled by nothing, so in this program the
// page has no cells; the editing works as on every other grid.
#include "controls/CParEdit.h"
#include "controls/GridCellEntry.h"
#include "foundation/CObservable.h"
#include "foundation/CObserver.h"
#include "foundation/CResourceManager.h"
#include "params/CSettings.h"
#include "platform/CDialog.h"

#include <QRect>

#include <vector>

class CDataGridView;

// The page's program-wide layout tables: label cells (string-table ids) and
// value cells (parameter numbers). Both start empty.
extern std::vector<GridCellEntry> g_input2PageLabels;
extern std::vector<GridCellEntry> g_input2PageValues;

class CInput2Page : public CDialog, public CObserver, public CObservable, private CResourceManager
{
    Q_OBJECT
public:
    static constexpr int IDD = 159;
    static constexpr int IDC_GRID = 1147;
    static constexpr int IDC_VT_PRIMARY = 1048;
    static constexpr int IDC_VT_SECONDARY = 1049;
    // The design's cell width; labels that need more widen every cell.
    static constexpr int kCellWidth = 90;

    explicit CInput2Page(QWidget* parent = nullptr);
    ~CInput2Page() override;

    // From the grid: an edit was asked for. From the edit host: an edit ended.
    void Update(CObservable* notifier) override;

    CSettings& GetSettings() { return m_settings; }
    CDataGridView& GetGrid() { return *m_grid; }
    CParEdit& GetEditHost() { return m_editHost; }
    // Lays the grid out again from the layout tables and refills its values.
    void Refresh();

    // The parameter edited in a cell of the grid; -1 where none is.
    static int ParameterAt(unsigned row, unsigned column);

protected:
    // Esc ends an open edit; the page never closes itself.
    void OnCancel() override;
    void OnOK() override {}

private:
    void OnEditStart();
    void OnEditEnd();
    QRect SelectedCellRect() const;

    CParEdit m_editHost;
    CSettings m_settings;
    CDataGridView* m_grid = nullptr;
};
