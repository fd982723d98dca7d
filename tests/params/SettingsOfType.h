#pragma once
// A fresh parameter set of one of the supported unit types.
#include "params/CSettings.h"

inline CSettings OfType(int type)
{
    CSettings s;
    s.m_deviceType.SetTypeIndex(type);
    return s;
}
