#pragma once
// Colours written as Windows colour values, 0x00BBGGRR: red in the low
// byte. QColor(0xRRGGBB) reads them the other way round, so every such
// value goes through these.
#include <QColor>

#include <cstdint>

using COLORREF = std::uint32_t;

constexpr COLORREF MakeColorref(int red, int green, int blue)
{
    return static_cast<COLORREF>(red & 0xFF) | (static_cast<COLORREF>(green & 0xFF) << 8) |
           (static_cast<COLORREF>(blue & 0xFF) << 16);
}

inline QColor ColorFromColorref(COLORREF colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

inline COLORREF ColorrefFromColor(const QColor& colour)
{
    return MakeColorref(colour.red(), colour.green(), colour.blue());
}
