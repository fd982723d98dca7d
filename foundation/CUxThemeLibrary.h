#pragma once
// Themed tab-page backgrounds need no call here: Qt styles tab pages itself.
// The flags stay with the window, as the theme keeps them.
class QWidget;

class CUxThemeLibrary
{
public:
    virtual ~CUxThemeLibrary() = default;
    // Always 0 (success), as when the theme function is missing.
    long EnableThemeDialogTexture(QWidget* window, unsigned flags) const;
    bool IsThemeDialogTextureEnabled(const QWidget* window) const;
};

inline constexpr unsigned ETDT_ENABLE = 2;
inline constexpr unsigned ETDT_ENABLETAB = 6;
