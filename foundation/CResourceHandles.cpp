#include "CResourceHandles.h"

namespace {
const char kProgramModule = 0;
// Constant-initialised: set before any handle object is made.
const void* g_currentModule = &kProgramModule;
} // namespace

void CResourceHandles::Init()
{
    m_iconModule = g_currentModule;
    m_restoreModule = g_currentModule;
}

const void* CResourceHandles::GetCurrentModule()
{
    return g_currentModule;
}

void CResourceHandles::SetCurrentModule(const void* module)
{
    g_currentModule = module;
}
