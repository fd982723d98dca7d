#pragma once
#include "platform/RunCommand.h"
