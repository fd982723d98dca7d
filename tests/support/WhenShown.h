#pragma once
// Runs action on the first modal window of type T that comes up, then lets
// the test body go on; the action ends the window.
#include <QApplication>
#include <QTimer>

#include <functional>

template <class T>
void WhenShown(std::function<void(T&)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window)
            return;
        timer->stop();
        timer->deleteLater();
        action(*window);
    });
    timer->start();
}
