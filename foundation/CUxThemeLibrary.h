#pragma once
// Does nothing on purpose: Qt styles tab pages itself; the flags are only kept on the window.
class QWidget;

class CUxThemeLibrary
{
public:
    virtual ~CUxThemeLibrary() = default;
    // Always 0 (success), as when the theme function is missing.
    long EnableThemeDialogTexture(QWidget* window, unsigned flags) const;
};

inline constexpr unsigned ETDT_ENABLETAB = 6;
