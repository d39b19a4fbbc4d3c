#include "platform/Format.h"

#include <algorithm>
#include <cmath>

#include "platform/Locale.h"

namespace platform {

namespace {

struct Pattern {
    int minWhole = 0;     // "0" digits before the point
    bool group = false;   // a "," before the point
    int decimals = 0;     // digits after the point
    int minDecimals = 0;  // "0" digits after the point, from its left
};

Pattern Parse(QStringView pattern) {
    Pattern p;
    const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
    const QStringView whole = dot < 0 ? pattern : pattern.left(dot);
    for (QChar c : whole) {
        if (c == QLatin1Char('0'))
            ++p.minWhole;
        else if (c == QLatin1Char(','))
            p.group = true;
    }
    if (dot >= 0) {
        bool leading = true;
        for (QChar c : pattern.mid(dot + 1)) {
            if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
                ++p.decimals;
                if (c == QLatin1Char('0') && leading)
                    ++p.minDecimals;
                else
                    leading = false;
            }
        }
    }
    return p;
}

// Builds the text from the digits of the whole part and of the decimals.
QString Build(bool negative, QString whole, QString decimals, const Pattern& p) {
    while (whole.startsWith(QLatin1Char('0'))) whole.remove(0, 1);
    while (whole.size() < p.minWhole) whole.prepend(QLatin1Char('0'));
    if (p.group && whole.size() > 3) {
        const QString sep = UserGroupSymbol();
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, sep);
    }
    while (decimals.size() > p.minDecimals && decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
    QString out = whole;
    if (p.decimals > 0 && (!decimals.isEmpty() || p.minDecimals > 0))
        out += UserDecimalSymbol() + decimals;
    const bool zero = !std::any_of(out.begin(), out.end(), [](QChar c) {
        return c >= QLatin1Char('1') && c <= QLatin1Char('9');
    });
    if (negative && !zero)
        out.prepend(QLatin1Char('-'));
    return out;
}

}  // namespace

QString Format(std::int64_t value, QStringView pattern) {
    const Pattern p = Parse(pattern);
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    return Build(negative, QString::number(magnitude), QString(p.decimals, QLatin1Char('0')), p);
}

QString Format(double value, QStringView pattern) {
    const Pattern p = Parse(pattern);
    const bool negative = std::signbit(value);
    const double scaled = std::round(std::fabs(value) * std::pow(10.0, p.decimals));
    QString digits = QString::number(scaled, 'f', 0);
    while (digits.size() <= p.decimals) digits.prepend(QLatin1Char('0'));
    return Build(negative, digits.left(digits.size() - p.decimals), digits.right(p.decimals), p);
}

}  // namespace platform
