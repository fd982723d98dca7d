#pragma once
// The window frame of the program's windows that cannot be resized: a caption
// with the system menu and the close box, no maximise box, and a minimise box
// only where asked for.
class QWidget;

enum class FrameBoxes { Close, MinimizeAndClose };

// Call in the window's constructor, before it first shows. From then on the
// window has a fixed size: that of its contents, widened so that its caption
// shows whole (the caption it has when it shows, such as the language
// file's). The size follows texts that grow while it shows. A window hidden
// by the program comes back where it stood.
void UseDialogFrame(QWidget* dialog, FrameBoxes boxes = FrameBoxes::Close);
