#pragma once
// Drives the program's modal dialogs from a test: a script runs once the
// dialog's modal loop is running (WhileModal) and works the active dialog's
// controls by their ids.
#include "platform/ControlIds.h"

#include "support/WhileModal.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

inline QWidget* Modal()
{
    return QApplication::activeModalWidget();
}

template <class T> T* Control(int id)
{
    return qobject_cast<T*>(FindControl(Modal(), id));
}

inline void Type(int id, const QString& text)
{
    auto* edit = Control<QLineEdit>(id);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

inline void Click(int id)
{
    auto* button = Control<QPushButton>(id);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}
