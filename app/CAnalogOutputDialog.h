#pragma once
// The analog-output dialog: one channel's assignment, its
// scaling or its ten-point conversion table, and the zero and span
// adjustments, with a graph of the resulting characteristic that follows
// every change. It works on its own copy of the caller's parameter set,
// which goes back to the caller only when the dialog ends with OK.
#include "controls/CParEdit.h"
#include "controls/GridCellEntry.h"
#include "foundation/CObservable.h"
#include "foundation/CObserver.h"
#include "foundation/CResourceManager.h"
#include "CSettingDialog.h"

#include <vector>

class CDataGridView;
class CGraph;
class QCheckBox;
class QComboBox;
class QLineEdit;

class CAnalogOutputDialog : public CSettingDialog, private CResourceManager, public CObserver, public CObservable
{
    Q_OBJECT
public:
    static constexpr int IDD = 160;
    static constexpr int IDC_ASSIGN_LABEL = 1168;
    static constexpr int IDC_ASSIGN = 1169;
    static constexpr int IDC_SCALING_GROUP = 1183;
    static constexpr int IDC_INPUT100_LABEL = 1170;
    static constexpr int IDC_INPUT100 = 1171;
    static constexpr int IDC_INPUT100_UNIT = 1172;
    static constexpr int IDC_INPUT0_LABEL = 1173;
    static constexpr int IDC_INPUT0 = 1174;
    static constexpr int IDC_INPUT0_UNIT = 1175;
    static constexpr int IDC_OUTPUT_GROUP = 1184;
    static constexpr int IDC_OUTPUT100_LABEL = 1176;
    static constexpr int IDC_OUTPUT100 = 1178;
    static constexpr int IDC_OUTPUT0_LABEL = 1177;
    static constexpr int IDC_OUTPUT0 = 1180;
    static constexpr int IDC_OUTPUT100_UNIT = 1179;
    static constexpr int IDC_OUTPUT0_UNIT = 1181;
    static constexpr int IDC_GRAPH = 1182;
    static constexpr int IDC_SPAN_LABEL = 1186;
    static constexpr int IDC_SPAN = 1187;
    static constexpr int IDC_SPAN_UNIT = 1188;
    static constexpr int IDC_ZERO_LABEL = 1189;
    static constexpr int IDC_ZERO = 1190;
    static constexpr int IDC_ZERO_UNIT = 1191;
    static constexpr int IDC_TABLE = 1200;
    static constexpr int IDC_USE_TABLE = 1201;
    static constexpr int kTableColumns = 11;

    explicit CAnalogOutputDialog(QWidget* parent = nullptr);
    ~CAnalogOutputDialog() override;

    // Edits channel 0..9 of the set on a copy; the copy replaces the set
    // only on OK (then true).
    bool DoModalForChannel(CSettings& settings, int channel);

    // From the grid: an edit was asked for. From the edit host: an edit ended.
    void Update(CObservable* notifier) override;

    int GetChannel() const { return m_channel; }
    CDataGridView& GetGrid() { return *m_grid; }
    CGraph& GetGraph() { return *m_graph; }
    CParEdit& GetEditHost() { return m_editHost; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    // Esc with an in-place editor open only ends that edit.
    void OnCancel() override;

private:
    void CreateControls();
    void BuildLayouts();
    void FillTable();
    QLineEdit* Edit(int id) const;

    // Controls -> settings copy, in a fixed order; the first rejected edit
    // throws (with its message, focused and selected, when showErrors).
    // With the table in use the four scaling edits are left out.
    void ApplyControls(bool showErrors);
    void UpdateEnables();
    void RedrawGraph();

    void OnAssignmentChosen();
    void OnUpperInputChanged();
    void OnUseTableClicked();
    void OnEditStart();
    void OnEditEnd();
    // The parameter word edited in a cell of the table, -1 where none is.
    int ParameterAt(unsigned row, unsigned column) const;

    CParEdit m_editHost;
    unsigned m_editedRow = 0;
    unsigned m_editedColumn = 0;
    bool m_initialised = false;
    int m_channel = 0;
    std::vector<GridCellEntry> m_labelLayout;
    std::vector<GridCellEntry> m_cellLayout;

    QComboBox* m_assign = nullptr;
    CGraph* m_graph = nullptr;
    CDataGridView* m_grid = nullptr;
    QCheckBox* m_useTable = nullptr;
};
