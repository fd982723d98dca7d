#include "RunCommand.h"

#include "CException.h"
#include "CUiPrompts.h"

#include <QString>

#include <new>

namespace {
// The framework's error-message buffer, terminator included.
constexpr unsigned kErrorMessageSize = 256;
}

bool RunCommand(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const CException& e) {
        ReportException(parent, e);
    } catch (const std::bad_alloc&) {
        CUiPrompts::MessageBox(parent, QStringLiteral("Out of memory."), {}, MB_OK | MB_ICONERROR);
    }
    return false;
}

std::optional<QString> GetExceptionText(const CException& e)
{
    char16_t buffer[kErrorMessageSize] = {};
    if (!e.GetErrorMessage(buffer, kErrorMessageSize))
        return std::nullopt;
    return QString::fromUtf16(buffer);
}

void ReportException(QWidget* parent, const CException& e)
{
    const QString text = GetExceptionText(e).value_or(QStringLiteral("No error message is available."));
    CUiPrompts::MessageBox(parent, text, {}, MB_OK | MB_ICONERROR);
}
