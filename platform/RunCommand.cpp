#include "RunCommand.h"

#include "CException.h"
#include "CUiPrompts.h"

#include <QString>

#include <new>

namespace {
// The framework's error box reads the text into a buffer of this size.
constexpr unsigned kErrorTextSize = 512;
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

void ReportException(QWidget* parent, const CException& e)
{
    char16_t buffer[kErrorTextSize] = {};
    const QString text = e.GetErrorMessage(buffer, kErrorTextSize) ? QString::fromUtf16(buffer)
                                                                   : QStringLiteral("No error message is available.");
    CUiPrompts::MessageBox(parent, text, {}, MB_OK | MB_ICONERROR);
}
