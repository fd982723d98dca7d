#pragma once
#include "WinTypes.h"

#include <string_view>

// Program-wide message numbers by name: the same name always gives the same
// number, and numbers start above the range that fixed messages use.
UINT RegisterWindowMessage(std::string_view name);
