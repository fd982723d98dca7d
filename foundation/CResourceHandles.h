#pragma once
// The program's resources are compiled in; there is one module, so every
// handle names it. Kept so that windows read as they are meant to: a window
// makes the icon module current while it loads its icon, then the restore
// module.
class CResourceHandles
{
public:
    // Both handles := the module that supplies resources now.
    void Init();
    const void* GetIconModule() const { return m_iconModule; }
    const void* GetRestoreModule() const { return m_restoreModule; }

    // The module that supplies resources now: the program's own until set.
    static const void* GetCurrentModule();
    static void SetCurrentModule(const void* module);

private:
    const void* m_iconModule = GetCurrentModule();
    const void* m_restoreModule = GetCurrentModule();
};
