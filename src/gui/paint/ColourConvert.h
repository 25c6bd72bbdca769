// Conversions between the program's colours and bytes and Qt's.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <string_view>

// A 0x00BBGGRR colour as Qt draws it.
inline QColor toQColor(std::uint32_t c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

// Bytes from files and the receiver: UTF-8 when they are, else Latin-1.
QString textFromBytes(std::string_view bytes);
