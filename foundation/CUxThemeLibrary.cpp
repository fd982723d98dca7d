#include "CUxThemeLibrary.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr char kTextureFlags[] = "uxThemeDialogTexture";
}

long CUxThemeLibrary::EnableThemeDialogTexture(QWidget* window, unsigned flags) const
{
    if (window)
        window->setProperty(kTextureFlags, flags);
    return 0;
}
