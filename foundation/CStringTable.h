#pragma once
// The program's own string table (measurand names, units, grid labels,
// choice lists), compiled in.
#include <QString>

class CStringTable
{
public:
    // Empty when the id has no string.
    static QString LoadString(int id);
};
