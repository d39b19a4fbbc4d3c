// Numbers written after a format pattern of "#", "0", "," and ".": "#" is a
// digit shown only when significant, "0" a digit always shown, "," groups the
// thousands with the user's grouping symbol and "." is the user's decimal
// symbol. Digits beyond the pattern's width are shown all the same; 0 under a
// pattern of "#" and "," alone gives an empty text.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

namespace platform {

QString Format(std::int64_t value, QStringView pattern);
// Rounded to the pattern's decimals, halves away from zero.
QString Format(double value, QStringView pattern);

}  // namespace platform
