#include "ControlIds.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVariant>
#include <QWidget>

namespace {

const char* const kControlIdProperty = "controlId";

// Depth first in creation order. Another window (an owned dialog, a popup)
// holds its own controls, not this one's.
template <class Visit> bool VisitControls(const QWidget* parent, Visit&& visit)
{
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        if (GetControlId(widget) != 0 && visit(widget))
            return true;
        if (VisitControls(widget, visit))
            return true;
    }
    return false;
}

} // namespace

void SetControlId(QWidget* control, int id)
{
    if (control)
        control->setProperty(kControlIdProperty, id);
}

int GetControlId(const QWidget* control)
{
    if (!control)
        return 0;
    const QVariant id = control->property(kControlIdProperty);
    return id.isValid() ? id.toInt() : 0;
}

QWidget* FindControl(const QWidget* dialog, int id)
{
    QWidget* found = nullptr;
    if (dialog) {
        VisitControls(dialog, [&](QWidget* control) {
            if (GetControlId(control) != id)
                return false;
            found = control;
            return true;
        });
    }
    return found;
}

QList<QWidget*> DialogControls(const QWidget* dialog)
{
    QList<QWidget*> controls;
    if (dialog) {
        VisitControls(dialog, [&](QWidget* control) {
            controls.append(control);
            return false;
        });
    }
    return controls;
}

QString GetWindowText(const QWidget* control)
{
    if (!control)
        return {};
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control))
        return group->title();
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(control))
        return text->toPlainText();
    return control->windowTitle();
}

void SetWindowText(QWidget* control, const QString& text)
{
    if (!control)
        return;
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        // Texts come from language files: a '<' in them is a character, not markup.
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        // A drop-down list only selects one of its own entries.
        if (combo->isEditable()) {
            combo->setEditText(text);
        } else {
            const int index = combo->findText(text);
            if (index >= 0)
                combo->setCurrentIndex(index);
        }
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        plain->setPlainText(text);
    } else {
        control->setWindowTitle(text);
    }
}
