// Reading the program's text files: their decoding, their lines and the
// fields of delimited input. A line ends at CR LF or at a CR alone; an LF
// alone ends nothing and stays in the text.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

// The text of a file's bytes: UTF-8, a leading byte-order mark dropped,
// invalid bytes replaced.
QString DecodeText(const QByteArray& bytes);

// The lines of a text, without their line ends. The last line may lack its
// line end; a text that ends with a line end has no empty line after it.
QStringList SplitLines(const QString& text);

// Delimited input of fields from a text: leading blanks are skipped, a field
// ends at a comma or at the end of its line, and a field that begins with a
// double quote runs to the next double quote (anything after it up to the
// next comma or line end is dropped).
class DelimitedInput {
  public:
    explicit DelimitedInput(QString text) : text_(std::move(text)) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    // Reads the next field into `field`; at the end of the text it returns
    // false and leaves `field` as it was.
    bool ReadField(QString& field);

  private:
    // Steps over a comma or a line end at the current position, if there is one.
    void SkipDelimiter();

    QString text_;
    qsizetype pos_ = 0;
};

}  // namespace platform
