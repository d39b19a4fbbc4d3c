// Reading the start of the settings and language files: only the lines the
// program uses, each of bounded length, so that a huge or sparse file costs no
// more time or memory than a small one.
#pragma once

#include <QString>
#include <QStringList>

namespace lang {

// The most bytes of one line that are kept; the rest of a longer line is ignored.
inline constexpr qsizetype kMaxLineBytes = 64 * 1024;

// The first maxLines lines of a text file, decoded as the program's text files
// are (UTF-8, a leading byte-order mark dropped) and split as they are (CR LF or
// a CR alone ends a line, an LF alone stays in it). Each line keeps at most its
// first kMaxLineBytes bytes, cut before a character that would not fit whole.
// No more than maxLines lines of that length can matter, so only the file's
// first maxLines x (kMaxLineBytes + 2) bytes are read; a line that starts later
// counts as missing. Throws platform::RuntimeError as platform::ReadAllBytes does.
QStringList ReadFirstLines(const QString& path, int maxLines);

}  // namespace lang
