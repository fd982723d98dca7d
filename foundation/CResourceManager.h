#pragma once
// Mix-in base of the program's dialogs and of the classes that look up
// language texts; the look-ups go to g_resourceDatabase.
class CResourceManager
{
public:
    virtual ~CResourceManager() = default;
};
