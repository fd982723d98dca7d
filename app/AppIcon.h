#pragma once
#include <QIcon>

// The program's icon (resource 128 of the main window): a meter face,
// drawn at the usual sizes.
QIcon LoadAppIcon();
