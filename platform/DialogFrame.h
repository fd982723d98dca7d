#pragma once
// The window frame of the program's dialogs: a caption with the system menu
// and the close box, no maximise or minimise box.
class QWidget;

// Call before the dialog first shows.
void UseDialogFrame(QWidget* dialog);

// Widens the dialog (its minimum width) so that its caption shows whole,
// with room for the frame's icon and close box.
void FitDialogToCaption(QWidget* dialog);
