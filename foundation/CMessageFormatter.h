#pragma once
// Builds a finished message text from a language-file message key, a
// system error code, or both.
#include "platform/MessageFormat.h"

#include <QString>

class CMessageFormatter
{
public:
    virtual ~CMessageFormatter() = default;
    // The system's text for the (errno) code; empty when it has none.
    explicit CMessageFormatter(int errorCode);
    // The key's template, unformatted.
    explicit CMessageFormatter(const QString& key);
    // The key's template with insert 1 = the system's text for the code.
    CMessageFormatter(const QString& key, int errorCode);
    // The key's template with the given typed inserts (Windows rules).
    CMessageFormatter(const QString& key, std::initializer_list<FormatArg> inserts);

    const QString& GetText() const { return m_text; }

private:
    QString m_text;
};
