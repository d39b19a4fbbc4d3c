#include "lang/FirstLines.h"

#include <QByteArrayView>
#include <algorithm>

#include "platform/Files.h"

namespace lang {

namespace {

// The bytes a UTF-8 sequence takes, from its first byte.
qsizetype SequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// What is kept of a line: at most kMaxLineBytes bytes, and where the line is
// cut (by that bound, or by the end of the read) no half character at its end.
QByteArrayView Kept(QByteArrayView line, bool readStoppedInIt) {
    if (line.size() <= kMaxLineBytes && !readStoppedInIt) {
        return line;
    }
    qsizetype cut = std::min(line.size(), kMaxLineBytes);
    qsizetype lead = cut;
    while (lead > 0 && (static_cast<unsigned char>(line[lead - 1]) & 0xC0) == 0x80) --lead;
    if (lead > 0 && SequenceLength(static_cast<unsigned char>(line[lead - 1])) > cut - lead + 1) {
        cut = lead - 1;
    }
    return line.first(cut);
}

}  // namespace

QStringList ReadFirstLines(const QString& path, int maxLines) {
    const std::int64_t budget = static_cast<std::int64_t>(maxLines) * (kMaxLineBytes + 2);
    const QByteArray bytes = platform::ReadFileStart(path, budget);
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF")) {
        rest = rest.sliced(3);
    }
    // A CR never occurs inside a UTF-8 sequence: the bytes split as the text would.
    QStringList lines;
    while (!rest.isEmpty() && lines.size() < maxLines) {
        const qsizetype cr = rest.indexOf('\r');
        const QByteArrayView line = cr < 0 ? rest : rest.first(cr);
        lines.append(QString::fromUtf8(Kept(line, cr < 0 && bytes.size() == budget)));
        if (cr < 0) {
            break;
        }
        rest = rest.sliced(cr + 1);
        if (rest.startsWith('\n')) {
            rest = rest.sliced(1);
        }
    }
    return lines;
}

}  // namespace lang
