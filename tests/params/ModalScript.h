#pragma once
// Drives the program's modal dialogs from a test: a script runs once the
// dialog's modal loop is running; a dialog left open fails the test instead of
// waiting for a person.
#include "platform/ControlIds.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

inline QWidget* Modal()
{
    return QApplication::activeModalWidget();
}

inline void WhileModal(std::function<void()> script)
{
    QTimer::singleShot(0, [script = std::move(script)] {
        QWidget* dialog = Modal();
        ASSERT_NE(dialog, nullptr);
        QTimer::singleShot(10000, dialog, [dialog] {
            ADD_FAILURE() << "dialog left open";
            static_cast<QDialog*>(dialog)->reject();
        });
        script();
    });
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
