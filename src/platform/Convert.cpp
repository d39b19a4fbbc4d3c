#include "platform/Convert.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "platform/Errors.h"

namespace platform {

namespace {

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

template <typename T>
T ToInteger(double value) {
    const double r = RoundHalfEven(value);
    if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
          r <= static_cast<double>(std::numeric_limits<T>::max()))) {
        Raise(err::Overflow);
    }
    return static_cast<T>(r);
}

// Whether a number out of a double's range is too large (rather than too small):
// its decimal magnitude, the place of its first significant digit plus its exponent.
bool Overflows(const std::string& number) {
    const std::size_t e = number.find('e');
    const std::string mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        const char* first = number.data() + e + 1;
        if (*first == '+')
            ++first;
        auto [p, ec] = std::from_chars(first, number.data() + number.size(), exponent);
        (void)p;
        if (ec == std::errc::result_out_of_range)
            return *first != '-';
    }
    const std::size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const std::size_t firstWhole = whole.find_first_not_of("-0");
    long long magnitude;
    if (firstWhole != std::string::npos) {
        magnitude = static_cast<long long>(whole.size() - firstWhole);
    } else {
        const std::string fraction =
            point == std::string::npos ? std::string() : mantissa.substr(point + 1);
        const std::size_t firstFraction = fraction.find_first_not_of('0');
        if (firstFraction == std::string::npos)
            return false;  // zero never overflows
        magnitude = -static_cast<long long>(firstFraction);
    }
    return magnitude + exponent > 0;
}

}  // namespace

QString Trim(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.sliced(begin, end - begin).toString();
}

double LeadingNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text[i])) ++i;

    // Collect the number's characters in ASCII for a locale-independent conversion.
    std::string number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            number += '-';
        ++i;
    }
    bool digits = false;
    while (i < n && IsDigit(text[i])) {
        number += static_cast<char>(text[i++].unicode());
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && IsDigit(text[i])) {
            number += static_cast<char>(text[i++].unicode());
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    // An exponent counts only when digits follow it.
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
            exponent += static_cast<char>(text[j++].unicode());
        }
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j])) exponent += static_cast<char>(text[j++].unicode());
            number += exponent;
        }
    }

    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the decimal magnitude tells which.
        const bool negative = number.front() == '-';
        return Overflows(number) ? (negative ? -std::numeric_limits<double>::infinity()
                                             : std::numeric_limits<double>::infinity())
                                 : (negative ? -0.0 : 0.0);
    }
    (void)end;
    return value;
}

double RoundHalfEven(double value) {
    // nearbyint rounds halves to even in the default rounding mode.
    return std::nearbyint(value);
}

std::int16_t ToInteger16(double value) {
    return ToInteger<std::int16_t>(value);
}
std::int32_t ToInteger32(double value) {
    return ToInteger<std::int32_t>(value);
}

QString Str(std::int64_t n) {
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

QString TrimStr(std::int64_t n) {
    return QString::number(n);
}

}  // namespace platform
