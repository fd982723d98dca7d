#include "platform/ControlIds.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(ControlIds, ControlsInsideGroupsBelongToTheDialogButOwnedWindowsDoNot)
{
    QDialog dialog;
    auto* group = new QGroupBox(&dialog);
    SetControlId(group, 1100);
    auto* inner = new QLineEdit(group);
    SetControlId(inner, 1101);
    auto* unnamed = new QLabel(&dialog);
    auto* duplicate = new QLabel(&dialog);
    SetControlId(duplicate, 1101);
    auto* owned = new QDialog(&dialog);
    auto* foreign = new QLabel(owned);
    SetControlId(foreign, 1200);

    EXPECT_EQ(FindControl(&dialog, 1101), inner) << "the first in creation order";
    EXPECT_EQ(FindControl(&dialog, 1200), nullptr);
    EXPECT_EQ(FindControl(owned, 1200), foreign);
    EXPECT_EQ(GetControlId(unnamed), 0);
    EXPECT_EQ(DialogControls(&dialog), (QList<QWidget*>{group, inner, duplicate}));
}

TEST(ControlIds, WindowTextByKindOfControl)
{
    QDialog dialog;
    QLineEdit edit(&dialog);
    QLabel label(&dialog);
    QPushButton button(&dialog);
    QGroupBox group(&dialog);
    QComboBox list(&dialog);
    list.addItems({QStringLiteral("COM1"), QStringLiteral("COM2")});
    QComboBox editable(&dialog);
    editable.setEditable(true);

    for (QWidget* control : std::initializer_list<QWidget*>{&edit, &label, &button, &group, &editable, &dialog}) {
        SetWindowText(control, QStringLiteral("text"));
        EXPECT_EQ(GetWindowText(control), "text") << control->metaObject()->className();
    }
    SetWindowText(&list, QStringLiteral("COM2"));
    EXPECT_EQ(GetWindowText(&list), "COM2");
    SetWindowText(&list, QStringLiteral("COM9"));
    EXPECT_EQ(GetWindowText(&list), "COM2") << "a list only shows its own entries";
    EXPECT_EQ(GetWindowText(nullptr), "");
}
