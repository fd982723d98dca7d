#include "CPrivateException.h"

#include "CMessageFormatter.h"

#include <algorithm>

CPrivateException::CPrivateException(const CMessageFormatter& formatter)
    : CPrivateException(formatter.GetText())
{
}

CPrivateException::CPrivateException(const QString& text)
    : m_text(text)
    , m_utf8(text.toUtf8())
{
}

CPrivateException::CPrivateException(const char16_t* text)
    : CPrivateException(text != nullptr ? QString::fromUtf16(text) : QString())
{
}

bool CPrivateException::GetErrorMessage(char16_t* buffer, unsigned bufferSize, unsigned* /*helpContext*/) const
{
    // No room for even the terminator: writing it would land outside the buffer.
    if (buffer == nullptr || bufferSize == 0)
        return false;
    const auto count = std::min<qsizetype>(m_text.size(), static_cast<qsizetype>(bufferSize) - 1);
    std::copy_n(m_text.utf16(), count, buffer);
    buffer[count] = u'\0';
    return true;
}
