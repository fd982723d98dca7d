#pragma once
// Does nothing on purpose: resources are compiled in, so there is one module for every handle to name.
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
