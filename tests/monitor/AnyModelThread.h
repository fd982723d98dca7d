#pragma once
// The polling thread, which on request lets command 1 go on for the
// monitor's own models, which the program's identification refuses.
#include "monitor/CBackThread.h"

#include "platform/CException.h"

#include <atomic>

class AnyModelThread : public CBackThread
{
public:
    // Whether command 1 reads the words that identify an accepted model: the
    // utilities and the loop test go by them, the register tests count every request.
    enum class ModelWords { Unread, Kept };

    explicit AnyModelThread(ModelWords words = ModelWords::Unread) : m_words(words) {}
    ~AnyModelThread() override { Stop(); }

    std::atomic<bool> acceptAnyModel{false};

protected:
    void IdentifyUnit(CModbusInterface& link, CDeviceType& deviceType) override
    {
        if (!acceptAnyModel) {
            CBackThread::IdentifyUnit(link, deviceType);
            return;
        }
        if (m_words == ModelWords::Unread)
            return;
        try {
            CBackThread::IdentifyUnit(link, deviceType);
        } catch (const CException&) {
            // The words read stay.
        }
    }

private:
    const ModelWords m_words;
};
