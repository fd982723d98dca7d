#pragma once
// The program's life: prepare the process, load the preferences, give
// g_settings the remembered unit type, run the main window once per
// language, and remember the unit type and the preferences at the end.
class CMyDalvexApp
{
public:
    virtual ~CMyDalvexApp() = default;
    // Runs the whole program; always false (there is no message pump after it).
    virtual bool InitInstance();
};
