#pragma once
// Where the phasor diagram puts its circle and the vectors' names, without
// a window: each name stands outside the circle along its vector, clear of
// the circle's line, a voltage's past the current's at the same angle, and
// every name inside the client area.
#include <QPoint>
#include <QRect>
#include <QSize>

// Between the circle's line and a name, and between two names.
inline constexpr int kPhasorNameGap = 2;

// The largest radius about the client's centre that leaves room for names
// of these sizes at any angle (0 when there is none).
int PhasorRadius(QSize client, QSize voltageName, QSize currentName);

// The name's rectangle at angleDegrees (0 up, clockwise). currentName is the
// size that a voltage's name keeps clear of.
QRect PhasorNameRect(QPoint centre, int radius, double angleDegrees, QSize name, QSize currentName, bool voltage);
