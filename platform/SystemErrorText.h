#pragma once
#include <QString>

// The system's text for an errno value, with a trailing line break as the
// system message texts carry it; empty for 0 or an unknown code.
QString SystemErrorText(int errorCode);
