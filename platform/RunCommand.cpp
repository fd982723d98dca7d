#include "RunCommand.h"

#include "CException.h"
#include "CUiPrompts.h"

#include <QString>

#include <new>
#include <vector>

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

std::optional<QString> GetExceptionText(const CException& e, unsigned bufferSize)
{
    std::vector<char16_t> buffer(bufferSize, u'\0');
    if (!e.GetErrorMessage(buffer.data(), bufferSize))
        return std::nullopt;
    return QString::fromUtf16(buffer.data());
}

void ReportException(QWidget* parent, const CException& e)
{
    const QString text =
        GetExceptionText(e, ERROR_BOX_MESSAGE_SIZE).value_or(QStringLiteral("No error message is available."));
    CUiPrompts::MessageBox(parent, text, {}, MB_OK | MB_ICONERROR);
}
