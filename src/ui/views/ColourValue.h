#pragma once

#include <QColor>

#include <cstdint>

// Colours are stored as 0x00BBGGRR (red in the low byte), the layout the settings file and the
// per-system files have always used; these convert between that value and a QColor.
inline QColor ToQColor(uint32_t value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

inline uint32_t FromQColor(const QColor& colour)
{
    return uint32_t(colour.red()) | uint32_t(colour.green()) << 8 | uint32_t(colour.blue()) << 16;
}
