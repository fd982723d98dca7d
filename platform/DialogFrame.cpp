#include "DialogFrame.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QPoint>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace {

// The width of a title bar that shows the dialog's whole caption: the
// caption's own width and the room of the bar's buttons and edges.
int TitleBarWidth(const QWidget* dialog)
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
        case QEvent::Hide:
            // The user's minimising is the window manager's to undo.
            if (!event->spontaneous())
                m_place = m_dialog->pos();
            break;
        case QEvent::Show:
            // Without a move a window manager places the window again, or
            // takes its client position for the frame's and shifts it by the
            // frame's edges each time.
            if (m_place && !event->spontaneous())
                m_dialog->move(*m_place);
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
        size.setWidth(std::max(size.width(), TitleBarWidth(m_dialog)));
        if (layout && layout->hasHeightForWidth())
            size.setHeight(std::max(size.height(), layout->totalHeightForWidth(size.width())));
        if (m_dialog->minimumSize() != size || m_dialog->maximumSize() != size)
            m_dialog->setFixedSize(size);
    }

    QWidget* m_dialog;
    // Where the frame stood when the program last hid the window.
    std::optional<QPoint> m_place;
};

} // namespace

void UseDialogFrame(QWidget* dialog, FrameBoxes boxes)
{
    // Without the customize hint the window system adds every box it has.
    Qt::WindowFlags flags =
        Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    // A window that can be minimised is a main window: window managers may
    // refuse to minimise a dialog.
    if (boxes == FrameBoxes::MinimizeAndClose)
        flags |= Qt::Window | Qt::WindowMinimizeButtonHint;
    else
        flags |= Qt::Dialog;
    dialog->setWindowFlags(flags);
    new FixedFrame(dialog);
}
