#pragma once
// Does nothing on purpose: an empty mix-in that marks the classes whose language texts come from g_resourceDatabase.
class CResourceManager
{
public:
    virtual ~CResourceManager() = default;
};
