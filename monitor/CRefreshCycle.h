#pragma once
// The monitor's nine-step refresh cycle, without a window: which polling
// command each step posts, which steps the tab selections skip, and which
// page a finished step refreshes.
#include "platform/WinTypes.h"

class CRefreshCycle
{
public:
    static constexpr int kSteps = 9;

    struct Post
    {
        int step;      // the step whose command is posted
        UINT command;  // polling command
        int argument;
    };

    // From step on, the first step whose view is shown, and its command.
    static Post NextPost(int step, int upperSelection, int lowerSelection, int harmonicsRow);
    // The upper page shows what this step read.
    static bool FeedsUpperPage(int step, int upperSelection);
    // The lower page shows what this step read.
    static bool FeedsLowerPage(int step, int lowerSelection);
};
