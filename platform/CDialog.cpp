#include "CDialog.h"

#include "ControlIds.h"
#include "RunCommand.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>

CDialog::CDialog(int /*templateId*/, QWidget* parent) : QDialog(parent) {}

CDialog::~CDialog() = default;

namespace {

// Qt makes every push button of a dialog auto-default, so that Enter would
// press whichever one has or last had the focus.
void ClearAutoDefault(const QWidget* dialog)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        button->setAutoDefault(false);
}

QPushButton* DefaultButton(const QWidget* dialog)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->isDefault() && button->window() == dialog)
            return button;
    }
    return nullptr;
}

} // namespace

int CDialog::DoModal()
{
    m_result = IDCANCEL;
    m_ending = false;
    OnInitDialog();
    // Ended while it was being set up: it never shows.
    if (m_ending)
        return m_result;
    ClearAutoDefault(this);
    exec();
    // exec() also returns when the window was hidden; the run goes on until
    // EndDialog, whether the window shows again or not.
    while (!m_ending) {
        if (!isVisible())
            WaitWhileHidden();
        if (!m_ending)
            exec();
    }
    m_ending = false;
    return m_result;
}

void CDialog::WaitWhileHidden()
{
    // Shown again, it must come back as a modal window.
    setAttribute(Qt::WA_ShowModal, true);
    QEventLoop loop;
    m_hiddenWait = &loop;
    loop.exec();
    m_hiddenWait = nullptr;
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    m_ending = true;
    // done() leaves exec() when it runs, and only hides the window otherwise.
    // OK and Cancel also give Qt's accepted and rejected signals.
    if (isVisible())
        done(result == IDOK ? QDialog::Accepted : result == IDCANCEL ? QDialog::Rejected : result);
    if (m_hiddenWait)
        m_hiddenWait->quit();
}

void CDialog::accept()
{
    GuardedOK();
}

void CDialog::reject()
{
    GuardedCancel();
}

void CDialog::GuardedOK()
{
    RunCommand(this, [this] { OnOK(); });
}

void CDialog::GuardedCancel()
{
    RunCommand(this, [this] { OnCancel(); });
}

QWidget* CDialog::GetDlgItem(int id) const
{
    return FindControl(this, id);
}

QString CDialog::GetDlgItemText(int id) const
{
    return GetWindowText(GetDlgItem(id));
}

void CDialog::SetDlgItemText(int id, const QString& text)
{
    SetWindowText(GetDlgItem(id), text);
}

bool CDialog::IsDlgButtonChecked(int id) const
{
    const auto* button = GetDlgItemAs<QAbstractButton>(id);
    return button && button->isChecked();
}

void CDialog::CheckDlgButton(int id, bool checked)
{
    if (auto* button = GetDlgItemAs<QAbstractButton>(id))
        button->setChecked(checked);
}

void CDialog::SetDefaultButton(QPushButton* button)
{
    if (QPushButton* previous = DefaultButton(this); previous && previous != button)
        previous->setDefault(false);
    if (button) {
        button->setAutoDefault(false);
        button->setDefault(true);
    }
}

void CDialog::keyPressEvent(QKeyEvent* event)
{
    const bool plain = event->modifiers() == Qt::NoModifier
        || (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (focused && focused->isVisible() && focused->isEnabled()) {
            focused->click();
            return;
        }
        if (QPushButton* button = DefaultButton(this); button && button->isVisible()) {
            if (button->isEnabled())
                button->click();
            return;
        }
        GuardedOK();
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        event->accept();
        GuardedCancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDialog::showEvent(QShowEvent* event)
{
    ClearAutoDefault(this);
    QDialog::showEvent(event);
    if (m_hiddenWait)
        m_hiddenWait->quit();
}

void CDialog::RegisterControl(QWidget* control, int id)
{
    if (!control)
        return;
    SetControlId(control, id);
    if (!control->parent())
        control->setParent(this);
    if (auto* button = qobject_cast<QPushButton*>(control))
        button->setAutoDefault(false);
}
