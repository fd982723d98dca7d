#include "CRefreshCycle.h"

#include "CBackThread.h"

CRefreshCycle::Post CRefreshCycle::NextPost(int step, int upperSelection, int lowerSelection, int harmonicsRow)
{
    for (;; step = (step + 1) % kSteps) {
        switch (step) {
        case 0:
            return {step, CBackThread::CommandIdentification, 0};
        case 1:
        case 2:
        case 3:
            if (upperSelection == step - 1)
                return {step, CBackThread::CommandRealtime + static_cast<UINT>(step - 1), 0};
            break;
        case 4:
        case 5:
            if (lowerSelection / 2 == step - 4)
                return {step, CBackThread::CommandEnergy1 + static_cast<UINT>(step - 4), 0};
            break;
        case 6:
            if (lowerSelection == 4)
                return {step, CBackThread::CommandCounters, 0};
            break;
        case 7:
            return {step, CBackThread::CommandHarmonicTotals, 0};
        default:
            return {8, CBackThread::CommandHarmonics, harmonicsRow};
        }
    }
}

bool CRefreshCycle::FeedsUpperPage(int step, int upperSelection)
{
    return step >= 1 && step <= 3 && upperSelection == step - 1;
}

bool CRefreshCycle::FeedsLowerPage(int step, int lowerSelection)
{
    return step >= 4 && step <= 6 && (lowerSelection / 2 == step - 4 || (step == 6 && lowerSelection == 4));
}
