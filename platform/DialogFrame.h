#pragma once
// The window frame of the program's dialogs that cannot be resized: a caption
// with the system menu and the close box, no maximise or minimise box.
class QWidget;

// Call in the dialog's constructor, before it first shows. From then on the
// dialog has a fixed size: that of its contents, widened so that its caption
// shows whole (the caption it has when it shows, such as the language
// file's). The size follows texts that grow while it shows.
void UseDialogFrame(QWidget* dialog);
