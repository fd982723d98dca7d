#pragma once
// Shared set-up of the link tests: a private profile, a language file with
// short, distinctive message templates, and links aimed at the simulated unit.
#include "support/CSimulatedUnit.h"
#include "support/TempProfile.h"
#include "comm/CModbusInterface.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class CommTest : public ::testing::Test
{
public:
    static QString ErrorOfPublic(const std::function<void()>& fn) { return ErrorOf(fn); }

protected:
    void SetUp() override;
    void TearDown() override;

    // A link in TCP mode aimed at the unit's port on 127.0.0.1.
    std::unique_ptr<CModbusInterface> TcpLink(int port) const;
    // A link in mode 0 (serial) or 2 (infrared) on the unit's pseudo-terminal.
    std::unique_ptr<CModbusInterface> RtuLink(const QString& path, int mode = CComSettings::ModeSerial) const;

    // The text of the CPrivateException that fn throws ("<none>" when it throws nothing).
    static QString ErrorOf(const std::function<void()>& fn);

    TempProfile m_profile;
    QTemporaryDir m_languageDir;
    CSimulatedUnit m_unit;
};

// Wait cap that keeps failing attempts short in the tests.
inline constexpr unsigned kTestWaitCapMs = 300;
