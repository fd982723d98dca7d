#pragma once
// Themed tab-page backgrounds need no call here: Qt styles tab pages itself.
class QWidget;

class CUxThemeLibrary
{
public:
    virtual ~CUxThemeLibrary() = default;
    // Always 0 (success), as when the theme function is missing.
    long EnableThemeDialogTexture(QWidget* window, unsigned flags) const;
};

inline constexpr unsigned ETDT_ENABLETAB = 6;
