#include "CResourceHandles.h"

namespace {
const char kProgramModule = 0;
}

void CResourceHandles::Init()
{
    m_iconModule = &kProgramModule;
    m_restoreModule = &kProgramModule;
}
