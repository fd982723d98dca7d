#pragma once
// The program's resources are compiled in; there is one module, so both
// handles name it. Kept so that windows read as they are meant to.
class CResourceHandles
{
public:
    void Init();
    const void* GetIconModule() const { return m_iconModule; }
    const void* GetRestoreModule() const { return m_restoreModule; }

private:
    const void* m_iconModule = nullptr;
    const void* m_restoreModule = nullptr;
};
