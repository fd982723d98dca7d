#include "DialogFrame.h"

#include <QFontMetrics>
#include <QWidget>

void UseDialogFrame(QWidget* dialog)
{
    // Without the customize hint the window system adds every box it has.
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
}

void FitDialogToCaption(QWidget* dialog)
{
    // Captions are commonly set in a bold, slightly larger face than the dialog's.
    QFont captionFont = dialog->font();
    captionFont.setBold(true);
    if (captionFont.pointSizeF() > 0)
        captionFont.setPointSizeF(captionFont.pointSizeF() * 1.15);
    const int caption = QFontMetrics(captionFont).horizontalAdvance(dialog->windowTitle());
    const int frame = 4 * QFontMetrics(captionFont).height(); // icon, close box and margins
    dialog->setMinimumWidth(caption + frame);
}
