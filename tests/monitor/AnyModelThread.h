#pragma once
// The polling thread, which on request lets command 1 go on for the
// monitor's own models, which the program's identification refuses.
#include "monitor/CBackThread.h"

class AnyModelThread : public CBackThread
{
public:
    ~AnyModelThread() override { Stop(); }
    bool acceptAnyModel = false;

protected:
    void IdentifyUnit(CModbusInterface& link, CDeviceType& deviceType) override
    {
        if (!acceptAnyModel)
            CBackThread::IdentifyUnit(link, deviceType);
    }
};
