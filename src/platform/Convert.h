// Conversions between numbers and the texts the program reads and shows.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

namespace platform {

// A blank is a space or a tab.
constexpr bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The text without its leading and trailing blanks.
QString Trim(QStringView text);

// The number written at the start of the text: leading blanks skipped, then an
// optional sign, digits with at most one decimal point ("." whatever the
// locale) and an optional exponent ("e" or "E"). Whatever follows is ignored;
// a text that starts with no number gives 0. A number too large for a double
// gives an infinity of its sign.
double LeadingNumber(QStringView text);

// The nearest whole number, halves to the even one (2.5 gives 2, 3.5 gives 4).
double RoundHalfEven(double value);

// A value made a 16-bit or a 32-bit integer: rounded halves to even, error 6
// (overflow) when the result does not fit or the value is not a number.
std::int16_t ToInteger16(double value);
std::int32_t ToInteger32(double value);

// n in decimal, with one leading blank when n is not negative and a minus sign otherwise.
QString Str(std::int64_t n);
// The same without the blank.
QString TrimStr(std::int64_t n);

}  // namespace platform
