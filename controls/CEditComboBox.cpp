#include "CEditComboBox.h"

#include "InPlaceEditRules.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

CEditComboBox::CEditComboBox(QWidget* parent)
    : QComboBox(parent)
{
    // The list's frame is made with the view; its hiding is the one signal
    // that covers every way of closing the list (a choice, Esc, a click
    // outside).
    view()->installEventFilter(this);
    if (QWidget* frame = view()->parentWidget())
        frame->installEventFilter(this);
    connect(this, &QComboBox::activated, this, &CEditComboBox::OnActivated);
}

void CEditComboBox::showPopup()
{
    ++m_popupSession;
    QComboBox::showPopup();
}

void CEditComboBox::HideEditor()
{
    m_hiding = true;
    if (hasFocus() && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
    hide();
    m_hiding = false;
}

void CEditComboBox::keyPressEvent(QKeyEvent* event)
{
    if (const std::optional<EditEnd> ending = ComboKeyEnd(event->key())) {
        event->accept();
        Report(ending->commit, ending->direction);
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CEditComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (m_hiding || !FocusLossEndsEdit(event->reason(), isVisible()))
        return;
    // A click in the open list moves the focus into it: the list's own
    // closing then tells a choice from a cancel.
    if (const QWidget* now = QApplication::focusWidget(); now && now->window() == view()->window())
        return;
    Report(false, EditDirection::None);
}

bool CEditComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view() && event->type() == QEvent::KeyPress) {
        // Left and Right in the open list take the highlighted entry.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (const std::optional<EditEnd> ending = ComboKeyEnd(key->key())) {
            const QModelIndex highlighted = view()->currentIndex();
            if (highlighted.isValid())
                setCurrentIndex(highlighted.row());
            Report(ending->commit, ending->direction);
            return true;
        }
    } else if (watched != view() && event->type() == QEvent::Hide) {
        // A choice is reported right after the list hides; decide once the
        // events of this closing have run.
        const int session = m_popupSession;
        QMetaObject::invokeMethod(this, [this, session] { OnPopupHidden(session); }, Qt::QueuedConnection);
    }
    return QComboBox::eventFilter(watched, event);
}

void CEditComboBox::OnActivated(int)
{
    Report(true, EditDirection::None);
}

void CEditComboBox::OnPopupHidden(int session)
{
    if (session != m_popupSession || m_reportedSession == session || !isVisible() || view()->isVisible())
        return;
    Report(false, EditDirection::None);
}

void CEditComboBox::Report(bool commit, EditDirection direction)
{
    m_reportedSession = m_popupSession;
    if (view()->isVisible())
        hidePopup();
    HideEditor();
    m_commit = commit;
    m_direction = direction;
    NotifyObservers();
}
