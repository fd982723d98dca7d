#include "CParEdit.h"

#include "platform/ControlIds.h"

#include <QWidget>

CParEdit::CParEdit() = default;

CParEdit::~CParEdit()
{
    // The editors report to this object; they must not outlive it.
    delete m_comboBox.data();
    delete m_editBox.data();
}

void CParEdit::CreateEditors(QWidget* grid)
{
    delete m_comboBox.data();
    delete m_editBox.data();

    auto* editBox = new CEditText(grid);
    SetControlId(editBox, kEditBoxId);
    editBox->setGeometry(0, 0, 100, 100);
    editBox->hide();
    editBox->AddObserver(this);
    m_editBox = editBox;

    auto* comboBox = new CEditComboBox(grid);
    SetControlId(comboBox, kComboBoxId);
    comboBox->setGeometry(0, 0, 100, comboBox->sizeHint().height());
    comboBox->hide();
    comboBox->AddObserver(this);
    m_comboBox = comboBox;
}

void CParEdit::Update(CObservable* notifier)
{
    if (auto* comboBox = dynamic_cast<CEditComboBox*>(notifier)) {
        m_selection = comboBox->currentIndex();
        m_result = comboBox->IsCommitted() ? EditResult::ListChoice : EditResult::None;
        m_direction = comboBox->GetDirection();
        NotifyObservers();
    } else if (auto* editBox = dynamic_cast<CEditText*>(notifier)) {
        m_text = editBox->text();
        m_result = editBox->IsCommitted() ? EditResult::Text : EditResult::None;
        m_direction = editBox->GetDirection();
        NotifyObservers();
    } else if (dynamic_cast<QWidget*>(notifier)) {
        // The owning window has taken the value.
        HideEditors();
        m_result = EditResult::None;
    }
}

bool CParEdit::IsEditing() const
{
    return (m_editBox && m_editBox->isVisible()) || (m_comboBox && m_comboBox->isVisible());
}

void CParEdit::HideEditors()
{
    if (m_comboBox)
        m_comboBox->HideEditor();
    if (m_editBox)
        m_editBox->HideEditor();
}
