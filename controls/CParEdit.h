#pragma once
// The edit host: owns the in-place edit box and drop-down list of a grid,
// observes both, keeps how the last edit ended and notifies the owning
// window. The owner places, fills, shows and focuses the editors itself;
// when it has taken a value it notifies its own observers, which makes the
// host hide both editors.
#include "CEditComboBox.h"
#include "CEditText.h"
#include "EditTypes.h"
#include "foundation/CObservable.h"
#include "foundation/CObserver.h"

#include <QPointer>
#include <QString>

class QWidget;

class CParEdit : public CObserver, public CObservable
{
public:
    static constexpr int kEditBoxId = 10000;
    static constexpr int kComboBoxId = 10001;

    CParEdit();
    ~CParEdit() override;
    CParEdit(const CParEdit&) = delete;
    CParEdit& operator=(const CParEdit&) = delete;

    // Makes both editors as hidden children of the grid window (they take
    // its font); editors made by an earlier call are destroyed first.
    void CreateEditors(QWidget* grid);

    // From the drop-down list: its selection, result 1 or 0; from the edit
    // box: its text, result 2 or 0; both then notify the owner. From the
    // owning window: both editors are hidden, result 0, nobody notified.
    void Update(CObservable* notifier) override;

    EditResult GetResult() const { return m_result; }
    // The list's current selection at its last report, -1 for none.
    int GetSelection() const { return m_selection; }
    // The box's whole text at its last report.
    QString GetText() const { return m_text; }
    EditDirection GetDirection() const { return m_direction; }

    // Null before CreateEditors or once the grid is gone.
    CEditComboBox* GetComboBox() const { return m_comboBox; }
    CEditText* GetEditBox() const { return m_editBox; }
    void HideEditors();
    // Whether either editor is shown (an edit is under way).
    bool IsEditing() const;

private:
    EditResult m_result = EditResult::None;
    int m_selection = -1;
    QString m_text;
    QPointer<CEditComboBox> m_comboBox;
    QPointer<CEditText> m_editBox;
    EditDirection m_direction = EditDirection::None;
};
