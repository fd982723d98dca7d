#pragma once
// Moves a shown window as the user does, through the window system, so that
// the window does not know the place as its own request.
#include <QPoint>
#include <QTest>
#include <QWidget>
#include <QWindow>

// Where the window's frame stands afterwards, round the client area at to.
inline QPoint MovedByUser(QWidget* window, QPoint to)
{
    window->windowHandle()->setPosition(to);
    QTest::qWait(10);
    return window->pos();
}
