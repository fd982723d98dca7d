#pragma once
// Small helpers shared by the control tests.
#include "foundation/CObservable.h"
#include "foundation/CObserver.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <functional>
#include <vector>

class RecordingObserver : public CObserver
{
public:
    void Update(CObservable* notifier) override
    {
        calls.push_back(notifier);
        if (onUpdate)
            onUpdate(notifier);
    }
    std::vector<CObservable*> calls;
    std::function<void(CObservable*)> onUpdate;
};

// Shows a top-level window and waits until it is the active one, so that
// focus changes behave as they do for a user.
inline bool ShowActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window) &&
           QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

inline QImage Grab(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QRgb Rgb(const QColor& colour)
{
    return colour.rgb();
}
