#include "CMessageFormatter.h"

#include "Globals.h"
#include "platform/SystemErrorText.h"

CMessageFormatter::CMessageFormatter(int errorCode)
    : m_text(SystemErrorText(errorCode))
{
}

CMessageFormatter::CMessageFormatter(const QString& key)
    : m_text(g_resourceDatabase.GetMessageText(key))
{
}

CMessageFormatter::CMessageFormatter(const QString& key, int errorCode)
    : m_text(FormatMessageTemplate(g_resourceDatabase.GetMessageText(key), {FormatArg(SystemErrorText(errorCode))}))
{
}

CMessageFormatter::CMessageFormatter(const QString& key, std::initializer_list<FormatArg> inserts)
    : m_text(FormatMessageTemplate(g_resourceDatabase.GetMessageText(key), inserts))
{
}
