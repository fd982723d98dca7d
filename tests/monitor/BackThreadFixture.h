#pragma once
// The polling thread (not yet started) on a link to the simulated unit, its
// block logged; a test names the kind of link from its parameter.
#include "params/FenmarTestLink.h"

#include "monitor/CBackThread.h"
#include "monitor/CMeasurandsAvo.h"

#include "support/CNotificationLog.h"
#include "support/TempProfile.h"

#include "foundation/Globals.h"
#include "platform/CProfile.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

template <class Param, class Thread = CBackThread>
class BackThreadFixture : public ::testing::TestWithParam<Param>
{
protected:
    void SetUp() override
    {
        CProfile::Reload();
        g_resourceDatabase.LoadLanguageFile(QStringLiteral("English.lng"));
        m_link = MakeLink(m_unit, Kind(), &m_ptyPath);
        ResetPseudoTerminal(m_ptyPath);
        m_block.AddObserver(&m_notified);
        NewThread();
    }
    void TearDown() override
    {
        m_thread.reset();
        m_link.reset();
        CProfile::Reload();
    }

    virtual LinkKind Kind() const = 0;

    void NewThread()
    {
        m_thread = std::make_unique<Thread>();
        m_thread->SetMeasurands(&m_block);
        m_thread->SetLink(m_link.get());
    }

    // Posts the command and waits for its notification; the requests it made.
    std::vector<CFenmarUnit::Request> Run(UINT command, int argument = 0)
    {
        const int from = m_unit.RequestCount();
        const std::size_t before = m_notified.Count();
        EXPECT_TRUE(m_thread->PostCommand(command, argument));
        EXPECT_TRUE(m_notified.WaitFor(before + 1)) << "command " << command;
        return m_unit.DecodedRequests(from);
    }

    TempProfile m_profile;
    CFenmarUnit m_unit;
    QString m_ptyPath;
    std::unique_ptr<CModbusInterface> m_link;
    CMeasurandsAvo m_block;
    CNotificationLog m_notified;
    std::unique_ptr<Thread> m_thread;
};
