#include "CEditText.h"

#include "InPlaceEditRules.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

CEditText::CEditText(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
}

void CEditText::SendChar(UINT character)
{
    Qt::Key key = Qt::Key_unknown;
    const char32_t code = character;
    const QString text = QString::fromUcs4(&code, 1);
    switch (character) {
    case 0:
        return;
    case 8:
        key = Qt::Key_Backspace;
        break;
    case 13:
        key = Qt::Key_Return;
        break;
    default:
        break;
    }
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(this, &press);
}

void CEditText::HideEditor()
{
    m_hiding = true;
    if (hasFocus() && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
    hide();
    m_hiding = false;
}

void CEditText::keyPressEvent(QKeyEvent* event)
{
    // The selection as a get-selection request answers it: both ends at the
    // caret when nothing is selected.
    int start = cursorPosition();
    int end = start;
    if (hasSelectedText()) {
        start = selectionStart();
        end = selectionEnd();
    }
    if (const std::optional<EditEnd> ending = EditTextKeyEnd(event->key(), start, end, text().size())) {
        event->accept();
        Report(ending->commit, ending->direction);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CEditText::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (m_hiding || !FocusLossEndsEdit(event->reason(), isVisible()))
        return;
    HideEditor();
    Report(false, EditDirection::None);
}

void CEditText::showEvent(QShowEvent* event)
{
    m_pressesSinceShown = 0;
    QLineEdit::showEvent(event);
}

void CEditText::mousePressEvent(QMouseEvent* event)
{
    ++m_pressesSinceShown;
    QLineEdit::mousePressEvent(event);
}

void CEditText::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The first click went to the grid and opened the box with its whole
    // text selected; the second one must not narrow that to a word.
    if (m_pressesSinceShown <= 1) {
        selectAll();
        event->accept();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

void CEditText::Report(bool commit, EditDirection direction)
{
    m_commit = commit;
    m_direction = direction;
    NotifyObservers();
}
