#include "platform/TextInput.h"

#include "platform/Convert.h"

namespace platform {

namespace {
constexpr QChar kCr = QLatin1Char('\r');
constexpr QChar kLf = QLatin1Char('\n');
constexpr QChar kComma = QLatin1Char(',');
constexpr QChar kQuote = QLatin1Char('"');
}  // namespace

QString DecodeText(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) {
        view = view.sliced(3);
    }
    return QString::fromUtf8(view);
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != kCr)
            continue;
        lines.append(text.sliced(start, i - start));
        if (i + 1 < n && text[i + 1] == kLf)
            ++i;
        start = i + 1;
    }
    if (start < n) {
        lines.append(text.sliced(start));
    }
    return lines;
}

void DelimitedInput::SkipDelimiter() {
    if (AtEnd())
        return;
    if (text_[pos_] == kComma) {
        ++pos_;
    } else if (text_[pos_] == kCr) {
        ++pos_;
        if (!AtEnd() && text_[pos_] == kLf)
            ++pos_;
    }
}

bool DelimitedInput::ReadField(QString& field) {
    if (AtEnd()) {
        return false;
    }
    const qsizetype n = text_.size();
    while (pos_ < n && IsBlank(text_[pos_])) ++pos_;

    if (pos_ < n && text_[pos_] == kQuote) {
        const qsizetype start = pos_ + 1;
        qsizetype close = text_.indexOf(kQuote, start);
        if (close < 0)
            close = n;
        field = text_.sliced(start, close - start);
        pos_ = close < n ? close + 1 : n;
        while (pos_ < n && text_[pos_] != kComma && text_[pos_] != kCr) ++pos_;
    } else {
        const qsizetype start = pos_;
        while (pos_ < n && text_[pos_] != kComma && text_[pos_] != kCr) ++pos_;
        field = text_.sliced(start, pos_ - start);
    }
    SkipDelimiter();
    return true;
}

}  // namespace platform
