#include "SystemErrorText.h"

#include <cstring>

namespace {

// strerror_r comes in two flavours; either way we end with the text.
[[maybe_unused]] const char* PickText(int result, const char* buffer)
{
    return result == 0 ? buffer : nullptr;
}

[[maybe_unused]] const char* PickText(const char* result, const char*)
{
    return result;
}

} // namespace

QString SystemErrorText(int errorCode)
{
    if (errorCode == 0)
        return {};
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    // glibc names every code it does not know "Unknown error N"; the system
    // has no text for those.
    if (strerrordesc_np(errorCode) == nullptr)
        return {};
#endif
    char buffer[512] = {};
    const char* text = PickText(strerror_r(errorCode, buffer, sizeof buffer), buffer);
    if (text == nullptr || *text == '\0')
        return {};
    return QString::fromLocal8Bit(text) + u'\n';
}
