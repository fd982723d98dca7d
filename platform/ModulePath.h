#pragma once
#include <QString>

// The full path of the running program's file ("" when the system cannot tell).
QString ModuleFileName();
