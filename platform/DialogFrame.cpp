#include "DialogFrame.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QWidget>

#include <algorithm>

namespace {

// The width the caption needs in the window manager's title bar.
int CaptionWidth(const QWidget* dialog)
{
    const QString caption = dialog->windowTitle();
    if (caption.isEmpty())
        return 0;
    // The window manager's title font is not known here. Captions are
    // commonly set bold and somewhat larger than the dialog's face (openbox's
    // default theme: 8-point bold, smaller than the dialog's 9 points).
    QFont font = dialog->font();
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.15);
    else if (font.pixelSize() > 0)
        font.setPixelSize(font.pixelSize() * 115 / 100);
    const QFontMetrics metrics(font);
    // The caption is centred on the whole title bar, so the minimise,
    // maximise and close buttons on its right take their room on both
    // sides of it (the icon on the left is narrower). A button is a square
    // about as high as the caption, with a little padding.
    const int button = metrics.height() + 2;
    constexpr int kEdges = 14; // the frame's padding and the caption's margins
    return metrics.horizontalAdvance(caption) + 2 * 3 * button + kEdges;
}

// Keeps a dialog at a fixed size: a window manager offers no maximise box
// and no resizing for a window whose smallest and largest sizes are the same.
class FixedFrame : public QObject
{
public:
    explicit FixedFrame(QWidget* dialog) : QObject(dialog), m_dialog(dialog) { dialog->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_dialog)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            // Sized before the window maps; once more after the dialog's own
            // show handling, which may size it too (message boxes do).
            Fit();
            QMetaObject::invokeMethod(this, [this] { FitIfVisible(); }, Qt::QueuedConnection);
            break;
        case QEvent::LayoutRequest:
            // Texts that grow while the dialog shows.
            FitIfVisible();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void FitIfVisible()
    {
        // A hidden dialog is sized when it shows.
        if (m_dialog->isVisible())
            Fit();
    }

    void Fit()
    {
        QLayout* layout = m_dialog->layout();
        if (layout)
            layout->activate();
        QSize size = m_dialog->size().expandedTo(m_dialog->sizeHint());
        size.setWidth(std::max(size.width(), CaptionWidth(m_dialog)));
        if (layout && layout->hasHeightForWidth())
            size.setHeight(std::max(size.height(), layout->totalHeightForWidth(size.width())));
        if (m_dialog->minimumSize() != size || m_dialog->maximumSize() != size)
            m_dialog->setFixedSize(size);
    }

    QWidget* m_dialog;
};

} // namespace

void UseDialogFrame(QWidget* dialog)
{
    // Without the customize hint the window system adds every box it has.
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    new FixedFrame(dialog);
}
