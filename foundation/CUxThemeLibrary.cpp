#include "CUxThemeLibrary.h"

long CUxThemeLibrary::EnableThemeDialogTexture(QWidget*, unsigned) const
{
    return 0;
}
