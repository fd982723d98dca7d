#pragma once
// The program's one exception type: one finished message text for the user.
// Thrown by value, caught by reference (as CException& where any failure
// is caught). An empty text marks an aborted transfer.
#include "platform/CException.h"

#include <QByteArray>
#include <QString>

class CMessageFormatter;

class CPrivateException : public CException
{
public:
    explicit CPrivateException(const CMessageFormatter& formatter);
    explicit CPrivateException(const QString& text);
    // A null pointer gives an empty text.
    explicit CPrivateException(const char16_t* text);

    const QString& GetText() const { return m_text; }
    // At most bufferSize - 1 characters and a terminating zero; true.
    // A null buffer or a size of 0 writes nothing and returns false.
    bool GetErrorMessage(char16_t* buffer, unsigned bufferSize, unsigned* helpContext = nullptr) const override;
    // The message in UTF-8, for whatever catches a std::exception.
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};
