#pragma once
// A round lamp of one colour: the largest circle centred in the window,
// the rest of the window in the button-face colour.
#include "ColorRef.h"

#include <QWidget>

class CLedIndicator : public QWidget
{
    Q_OBJECT
public:
    explicit CLedIndicator(QWidget* parent = nullptr);

    // A Windows colour value (0x00BBGGRR). Repaints whether or not it
    // changed.
    void SetColor(COLORREF colour);
    COLORREF GetColor() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    COLORREF m_colour = 0;
};
