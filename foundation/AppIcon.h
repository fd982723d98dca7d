#pragma once
#include <QIcon>

// The program's icon, the main window's and the monitor's: a
// meter face, drawn at the usual sizes, small and big. Loaded while the icon
// module supplies the resources; the restore module supplies them after.
QIcon LoadAppIcon();
