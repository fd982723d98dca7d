#include "RegisteredMessage.h"

#include <map>
#include <mutex>
#include <string>

UINT RegisterWindowMessage(std::string_view name)
{
    // Function-local so that it is usable from any static initialiser.
    static std::mutex lock;
    static std::map<std::string, UINT, std::less<>> ids;
    std::lock_guard guard(lock);
    auto it = ids.find(name);
    if (it != ids.end())
        return it->second;
    const UINT id = 0xC000u + static_cast<UINT>(ids.size());
    ids.emplace(std::string(name), id);
    return id;
}
