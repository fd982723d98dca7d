#pragma once
#include <QIcon>

// The program's icon (resource 128 of the main window and the monitor): a
// meter face, drawn at the usual sizes, small and big. Loaded while the icon
// module supplies the resources; the restore module supplies them after.
QIcon LoadAppIcon();
