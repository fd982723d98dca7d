#include "CommTestSupport.h"

#include "foundation/CPrivateException.h"
#include "foundation/Globals.h"

#include <QFile>

namespace
{
const char* const kLanguage = R"(<?xml version="1.0" encoding="utf-8"?>
<root>
  <application>Ombrix</application>
  <filetype>language</filetype>
  <language>Test</language>
  <locale>C</locale>
  <message>
    <text name="MSG_ERROR_MODBUS_MESSAGE">%1 at %2 count %3: %4</text>
    <text name="MSG_ERROR_MODBUS_TIMEOUT">timeout</text>
    <text name="MSG_ERROR_MODBUS_INVALID_TRANSACTION">transaction</text>
    <text name="MSG_ERROR_MODBUS_INVALID_RESPONSE">invalid response</text>
    <text name="MSG_ERROR_MODBUS_CRC">crc</text>
    <text name="MSG_ERROR_MODBUS_EXCEPTION">exception %1</text>
    <text name="ERROR_MODBUS_TCP">tcp: %1</text>
    <text name="MSG_CANNOT_OPEN_COM">cannot open %s</text>
    <text name="MSG_CANNOT_COM_SETTING">com setting</text>
  </message>
</root>
)";
} // namespace

void CommTest::SetUp()
{
    QFile file(m_languageDir.filePath(QStringLiteral("Test.lng")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kLanguage);
    file.close();
    g_resourceDatabase.LoadLanguageFileFrom(m_languageDir.path(), QStringLiteral("Test.lng"));
    CModbusInterface::SetWaitCapForTests(kTestWaitCapMs);
}

void CommTest::TearDown()
{
    CModbusInterface::SetWaitCapForTests(0);
    CSocket::SetResolverForTests({});
    m_unit.Stop();
}

std::unique_ptr<CModbusInterface> CommTest::TcpLink(int port) const
{
    auto link = std::make_unique<CModbusInterface>();
    CComSettings& settings = link->GetComSettings();
    settings.Mode = CComSettings::ModeTcp;
    settings.ServerAddress = QStringLiteral("127.0.0.1");
    settings.ServicePort = QString::number(port);
    return link;
}

std::unique_ptr<CModbusInterface> CommTest::RtuLink(const QString& path, int mode) const
{
    auto link = std::make_unique<CModbusInterface>();
    CComSettings& settings = link->GetComSettings();
    settings.Mode = mode;
    settings.COMPortName = path;
    settings.COMPortDisplayName = QStringLiteral("COM7");
    settings.IRCOMPortName = path;
    return link;
}

QString CommTest::ErrorOf(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const CPrivateException& e) {
        return e.GetText();
    }
    return QStringLiteral("<none>");
}
