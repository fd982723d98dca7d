#pragma once
// Controls carry the numeric id of their dialog template in the dynamic
// property "controlId". A dialog's controls are its descendants that carry
// an id, in creation order: what the templates call the dialog's children,
// even where a group box or layout holds them.
#include <QList>
#include <QString>

class QWidget;

void SetControlId(QWidget* control, int id);
// 0 when the widget carries no id.
int GetControlId(const QWidget* control);
// The first control of the dialog with that id, or nullptr.
QWidget* FindControl(const QWidget* dialog, int id);
QList<QWidget*> DialogControls(const QWidget* dialog);

// The window text of a control, by kind: a line edit's text, a label's or a
// button's caption, a group box's title, a combo box's current text, a
// top-level window's title.
QString GetWindowText(const QWidget* control);
void SetWindowText(QWidget* control, const QString& text);
