#pragma once
// The "Loop Test" dialog: switches the unit between normal operation and
// loop-test mode, in which it takes the measured values the program sends
// instead of measuring, so that its outputs can be checked. The 29 realtime
// values of the monitor's first grid are edited in place; while loop-test
// mode is on, every edit writes all 33 simulated values. Talks to the unit
// over the monitor's link while the polling thread is held off it.
#include "CMeasurandsAvo.h"
#include "controls/CParEdit.h"
#include "controls/GridCellEntry.h"
#include "foundation/CObservable.h"
#include "foundation/CObserver.h"
#include "platform/CDialog.h"

#include <cstdint>
#include <optional>
#include <vector>

class CBackThread;
class CDataGridView;
class CModbusInterface;
class QRadioButton;

class CLoopTestDialog : public CDialog, public CObserver, public CObservable
{
    Q_OBJECT
public:
    static constexpr int IDD = 158;
    static constexpr int IDC_LOOP_TEST = 1142;
    static constexpr int IDC_NORMAL = 1143;
    static constexpr int IDC_GRID = 1145;

    static constexpr int kSimulatedItems = 33;
    // Simulated items 0-7 and 8-32 of channel 1 and 2.
    static constexpr int kRegisterSimulated[2][2] = {{0, 32}, {4000, 4032}};
    static constexpr int kLeadingItems = 8;
    // The loop test exists on this model only.
    static constexpr std::uint16_t kLoopTestModel = CMeasurandsAvo::kModelZendra;

    // The range of an editable item, in its stored integer form.
    struct Range
    {
        const char* key;
        int scale;
        int minimum;
        int maximum;
    };

    explicit CLoopTestDialog(QWidget* parent = nullptr);
    ~CLoopTestDialog() override;

    // Neither is owned; both must outlive the run. The dialog has only a
    // Close button, so it ends with Cancel (false).
    bool Run(CModbusInterface& link, CBackThread& thread);

    // 0 normal operation, 1 loop test; true when the unit took the mode
    // (false after a refused passcode).
    bool SetLoopTestMode(int mode);
    // Writes the 33 simulated values; true when written.
    bool SendSimulatedValues();

    // For the monitor's closing: a loop-test unit (model 6301) whose
    // channels are in loop-test mode is set back to normal operation,
    // behind the passcode step. True when a channel was set back. An
    // unreachable unit is left alone quietly; a failure after the unit was
    // found in loop-test mode passes on.
    static bool RestoreNormalMode(CModbusInterface& link, CBackThread& thread, QWidget* parent = nullptr);

    // From the grid: an edit was asked for. From the edit host: an edit ended.
    void Update(CObservable* notifier) override;

    // The item edited in a cell, and its range; none where no value is bound.
    static std::optional<int> ItemAt(unsigned row, unsigned column);
    static Range RangeOf(int item);

    CDataGridView& GetGrid() { return *m_grid; }
    CParEdit& GetEditHost() { return m_editHost; }
    const CMeasurandsAvo& GetSimulatedValues() const { return m_values; }
    // The unit's mode as last read or written: 0 normal, 1 loop test.
    int GetUnitMode() const { return m_unitMode; }

protected:
    bool OnInitDialog() override;
    // Enter edits or commits; it never closes the dialog.
    void OnOK() override {}
    void OnCancel() override;
    void showEvent(QShowEvent* event) override;

private:
    void ReadStartValues();
    void OnRadioNormal();
    void OnRadioLoopTest();
    void ShowUnitMode();
    void OnEditStart();
    void OnEditEnd();
    bool IsEditorVisible() const;
    void RefillGrid();

    CParEdit m_editHost;
    CMeasurandsAvo m_values;
    CDataGridView* m_grid = nullptr;
    QRadioButton* m_loopTest = nullptr;
    QRadioButton* m_normal = nullptr;
    CModbusInterface* m_link = nullptr;
    CBackThread* m_thread = nullptr;
    int m_channel = 0;
    int m_unitMode = 0;
    bool m_firstActivation = true;
    // Set while an ended edit is handled, error boxes included.
    bool m_endingEdit = false;
};
