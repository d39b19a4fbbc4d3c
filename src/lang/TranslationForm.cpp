#include "lang/TranslationForm.h"

#include <algorithm>
#include <array>
#include <optional>

#include "lang/LanguageFile.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/ProgramFolder.h"
#include "platform/TextInput.h"

namespace lang {

namespace {

// The reference languages, in column order, and the heading of the translations.
const std::array<QString, 3> kReferences = {QStringLiteral("English"), QStringLiteral("Italiano"),
                                            QStringLiteral("Português")};
const QString kTranslationHeading = QStringLiteral("Traduzione / Traduction");
// What an empty or missing line shows, before its prefix is dropped.
const QString kFiller = QStringLiteral("..............");

const QString kHeadingCellStart = QStringLiteral("<TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>");
const QString kHeadingCellEnd = QStringLiteral("</CENTER></FONT></EM></STRONG></TD>");

struct Reference {
    QStringList lines;  // at most kStoredReferenceLines, whole, prefix included
    qsizetype count = 0;
};

Reference ReadReference(const QString& name) {
    Reference ref;
    const QString path = LanguageFilePath(name + QStringLiteral(".lng"));
    if (platform::KindOf(path) != platform::FileKind::Regular) {
        return ref;  // missing, a folder, a link: the column shows the filler
    }
    QStringList lines;
    try {
        lines = platform::SplitLines(platform::DecodeText(platform::ReadAllBytes(path)));
    } catch (const platform::RuntimeError&) {
        return ref;
    }
    ref.count = lines.size();
    ref.lines = lines.mid(0, kStoredReferenceLines);
    return ref;
}

// The line without its first three characters (a surrogate pair counts as one),
// or nothing when it is shorter than that: such a line gives no cell.
std::optional<QString> WithoutPrefix(const QString& line) {
    qsizetype at = 0;
    int chars = 0;
    while (chars < kLinePrefix && at < line.size()) {
        const bool pair =
            line[at].isHighSurrogate() && at + 1 < line.size() && line[at + 1].isLowSurrogate();
        at += pair ? 2 : 1;
        ++chars;
    }
    if (chars < kLinePrefix) {
        return std::nullopt;
    }
    return line.mid(at);
}

// A language file's text is shown as text: it can never add markup to the page.
QString Escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('&')) {
            out += QStringLiteral("&amp;");
        } else if (c == QLatin1Char('<')) {
            out += QStringLiteral("&lt;");
        } else if (c == QLatin1Char('>')) {
            out += QStringLiteral("&gt;");
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

QString TranslationFormPath() {
    return platform::ProgramFolder() + platform::kSep + QStringLiteral("Invia_Traduzione.html");
}

QStringList TranslationFormLines(const QString& productName, const QString& mailAddress) {
    std::array<Reference, kReferences.size()> refs;
    qsizetype rows = 0;
    for (std::size_t k = 0; k < kReferences.size(); ++k) {
        refs[k] = ReadReference(kReferences[k]);
        rows = std::max(rows, refs[k].count);
    }

    QStringList page;
    // The page says how it is encoded, inside the head, so the lines keep their count.
    page << QStringLiteral(
                "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; "
                "charset=UTF-8\"><TITLE>Traduzione / Traduction software ") +
                productName.toUpper() + QStringLiteral("</TITLE></HEAD><BODY>");
    page << QStringLiteral("<FORM Action = \"mailto:") + mailAddress +
                QStringLiteral("\" method = \"POST\" name=\"Nuova Traduzione ") + productName +
                QStringLiteral("\" charset-UTF-8>");
    page << QStringLiteral(
        "<P>Nome lingua / Name language: <input type=text name=\"Nome Lingua\">");
    page << QStringLiteral(
        "<P>Nome traduttore / Name translator: <input type=text name=\"Nome Translator\">");
    page << QStringLiteral("<BR><BR><TABLE BORDER=1><TBODY><TR>") + kHeadingCellStart +
                QStringLiteral("N.") + kHeadingCellEnd;
    for (const QString& name : kReferences) page << kHeadingCellStart + name + kHeadingCellEnd;
    page << kHeadingCellStart + kTranslationHeading + kHeadingCellEnd;
    page << QStringLiteral("</TR>");

    for (qsizetype n = 0; n < rows; ++n) {
        page << QStringLiteral("<TR>") + kHeadingCellStart + QString::number(n + 1) +
                    kHeadingCellEnd;
        // Rows past the stored lines keep their number and field, without language cells.
        if (n < kStoredReferenceLines) {
            for (const Reference& ref : refs) {
                QString line = n < ref.lines.size() ? ref.lines[n] : QString();
                if (line.isEmpty()) {
                    line = kFiller;
                }
                if (const auto text = WithoutPrefix(line)) {
                    page << QStringLiteral("<TD>") + Escaped(*text) + QStringLiteral("</TD>");
                }
            }
        }
        page << QStringLiteral("<TD><input type=text name=\"Traduzione") + QString::number(n) +
                    QStringLiteral("\"></TD></TR>");
    }

    page << QStringLiteral(
        "</TBODY></TABLE></P><P align=right><INPUT value=\"Invia traduzione / Send Traduction\" "
        "type=submit></P></FORM></BODY></HTML>");
    return page;
}

void WriteTranslationForm(const QString& productName, const QString& mailAddress) {
    const QStringList page = TranslationFormLines(productName, mailAddress);
    // Made anew, after the old form (or whatever was put under its name) is
    // unlinked: only a file created here is written.
    platform::Try([] { platform::DeleteFile(TranslationFormPath()); });
    platform::OutputFile file;
    if (!platform::Try(
            [&] { file.Open(TranslationFormPath(), platform::OutputFile::Mode::CreateNew); }))
        return;  // every line would fail: the page is opened all the same
    for (const QString& line : page) platform::Try([&] { file.PrintLine(line); });
    platform::Try([&] { file.Close(); });
}

}  // namespace lang
