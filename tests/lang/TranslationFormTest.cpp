// The translation form: its lines from the three reference files, the filler,
// the dropped cells, the escaping, the rows past the stored lines, and the file.
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <map>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "LangFixture.h"
#include "lang/TranslationForm.h"

// Readable failures.
static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QString kProduct = QStringLiteral("Quellix");
const QString kMail = QStringLiteral("translations@corvane.example.com");

const char* const kHead[] = {
    "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><TITLE>"
    "Traduzione / Traduction software QUELLIX</TITLE></HEAD><BODY>",
    "<FORM Action = \"mailto:translations@corvane.example.com\" method = \"POST\" "
    "name=\"Nuova Traduzione Quellix\" charset-UTF-8>",
    "<P>Nome lingua / Name language: <input type=text name=\"Nome Lingua\">",
    "<P>Nome traduttore / Name translator: <input type=text name=\"Nome Translator\">",
    "<BR><BR><TABLE BORDER=1><TBODY><TR><TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>N.</CENTER>"
    "</FONT></EM></STRONG></TD>",
    "<TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>English</CENTER></FONT></EM></STRONG></TD>",
    "<TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>Italiano</CENTER></FONT></EM></STRONG></TD>",
    "<TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>Português</CENTER></FONT></EM></STRONG></TD>",
    "<TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>Traduzione / Traduction</CENTER></FONT></EM>"
    "</STRONG></TD>",
    "</TR>",
};
const char kFoot[] =
    "</TBODY></TABLE></P><P align=right><INPUT value=\"Invia traduzione / Send Traduction\" "
    "type=submit></P></FORM></BODY></HTML>";

QString NumberCell(int row) {
    return QStringLiteral(
               "<TR><TD><STRONG><EM><FONT COLOR=#ff0000><CENTER>%1</CENTER></FONT></EM></STRONG>"
               "</TD>")
        .arg(row);
}
QString Field(int n) {
    return QStringLiteral("<TD><input type=text name=\"Traduzione%1\"></TD></TR>").arg(n);
}
const QString kFillerCell = QStringLiteral("<TD>...........</TD>");

class TranslationFormTest : public LangTest {
  protected:
    QStringList Lines() const { return lang::TranslationFormLines(kProduct, kMail); }
    // The lines of row r (from 1): from its number cell up to its field.
    static QStringList Row(const QStringList& page, int r) {
        const qsizetype start = page.indexOf(NumberCell(r));
        const qsizetype end = page.indexOf(Field(r - 1), start);
        if (start < 0 || end < 0)
            return {};
        return page.mid(start, end - start + 1);
    }
};

TEST_F(TranslationFormTest, DeliveredFilesGiveNinetyRowsInTheirOwnWords) {
    // The cells of rows 1 (a menu caption), 84 and 85 (the texts of what a run
    // could not wipe), from the delivered files.
    std::map<int, QStringList> cells;
    for (const char* name : {"English", "Italiano", "Português"}) {
        const QString file = QString::fromUtf8(name) + ".lng";
        const QByteArray content =
            testsupport::ReadFile(QStringLiteral(QUELLIX_SOURCE_DIR "/data/Lang/") + file);
        folder.Write("Lang/" + file, content);
        const QStringList lines = QString::fromUtf8(content).split("\r\n");
        for (int row : {1, 84, 85}) {
            // An access-key "&" shows as such, not as markup.
            QString text = lines.value(row - 1).mid(3);
            ASSERT_FALSE(text.trimmed().isEmpty() || text == "-") << name << " " << row;
            text.replace("&", "&amp;");
            cells[row] << "<TD>" + text + "</TD>";
        }
    }
    lang::WriteTranslationForm(kProduct, kMail);
    const QByteArray bytes = testsupport::ReadFile(lang::TranslationFormPath());
    ASSERT_TRUE(bytes.endsWith("</HTML>\r\n"));
    const QStringList page = QString::fromUtf8(bytes).split("\r\n");
    ASSERT_EQ(page.size(), 10 + 5 * 90 + 1 + 1);  // the last CR LF ends the last line
    for (int i = 0; i < 10; ++i) EXPECT_EQ(page[i], QString::fromUtf8(kHead[i])) << i;
    for (const auto& [row, texts] : cells) {
        EXPECT_EQ(Row(page, row),
                  QStringList{NumberCell(row)} + texts + QStringList{Field(row - 1)});
    }
    EXPECT_EQ(Row(page, 90).size(), 5);
    EXPECT_EQ(Row(page, 90).last(), "<TD><input type=text name=\"Traduzione89\"></TD></TR>");
    EXPECT_EQ(page[page.size() - 2], QString::fromUtf8(kFoot));
    EXPECT_FALSE(bytes.contains("\n\n"));
}

TEST_F(TranslationFormTest, TheShortestFileGivesTheFillerInItsLastRows) {
    WriteLanguage("English.lng", NumberedLines(1, 90, "en"));
    WriteLanguage("Italiano.lng", NumberedLines(1, 90, "it"));
    WriteLanguage("Português.lng", NumberedLines(1, 89, "pt"));
    const QStringList page = Lines();
    ASSERT_EQ(page.size(), 10 + 5 * 90 + 1);
    EXPECT_EQ(Row(page, 89), (QStringList{NumberCell(89), "<TD>en 89</TD>", "<TD>it 89</TD>",
                                          "<TD>pt 89</TD>", Field(88)}));
    EXPECT_EQ(Row(page, 90), (QStringList{NumberCell(90), "<TD>en 90</TD>", "<TD>it 90</TD>",
                                          kFillerCell, Field(89)}));
}

TEST_F(TranslationFormTest, NoReferenceFileGivesTheHeadAndTheFootOnly) {
    // A link to a good file counts as missing, as does a folder of that name.
    folder.Write("elsewhere.lng", NumberedLines(1, 5, "x"));
    ASSERT_TRUE(QFile::link(folder.File("elsewhere.lng"), folder.File("Lang/English.lng")));
    ASSERT_TRUE(QDir(folder.Path()).mkpath("Lang/Italiano.lng"));
    QStringList expected;
    for (const char* line : kHead) expected << QString::fromUtf8(line);
    expected << QString::fromUtf8(kFoot);
    EXPECT_EQ(Lines(), expected);
}

TEST_F(TranslationFormTest, EachLineBecomesItsCell) {
    struct Case {
        QByteArray line;  // line 1 of English.lng
        QStringList cells;
    } cases[] = {
        {"01 Plain", {"<TD>Plain</TD>"}},
        {"01 ", {"<TD></TD>"}},  // exactly three characters: an empty cell
        {"01", {}},              // one or two: no cell at all
        {"0", {}},
        {"", {kFillerCell}},  // an empty line shows the filler
        {"01 <b>bold</b> & more", {"<TD>&lt;b&gt;bold&lt;/b&gt; &amp; more</TD>"}},
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80x Emoji", {"<TD> Emoji</TD>"}},  // characters, not units
        {"01 \"quoted\" caf\xC3\xA9", {"<TD>\"quoted\" café</TD>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        WriteLanguage("English.lng", c.line + "\r\n02 second\r\n");
        const QStringList row = Row(Lines(), 1);
        ASSERT_GE(row.size(), 2);
        QStringList cells = row.mid(1, row.size() - 2);
        ASSERT_FALSE(cells.isEmpty() && !c.cells.isEmpty());
        // The Italian and Portuguese files are missing: their cells are the filler.
        EXPECT_EQ(cells, c.cells + QStringList({kFillerCell, kFillerCell}));
    }
}

TEST_F(TranslationFormTest, RowsPastTheStoredLinesHaveNoLanguageCells) {
    WriteLanguage("Italiano.lng", NumberedLines(1, 203, "it"));
    const QStringList page = Lines();
    ASSERT_EQ(page.size(), 10 + 5 * 201 + 2 * 2 + 1);
    EXPECT_EQ(Row(page, 201), (QStringList{NumberCell(201), kFillerCell, "<TD> it 201</TD>",
                                           kFillerCell, Field(200)}));
    EXPECT_EQ(Row(page, 202), (QStringList{NumberCell(202), Field(201)}));
    EXPECT_EQ(Row(page, 203), (QStringList{NumberCell(203), Field(202)}));
}

TEST_F(TranslationFormTest, LinesSplitAsTheLanguageLoaderSplitsThem) {
    // A lone CR ends a line, a lone LF does not; a last line may lack its end.
    WriteLanguage("English.lng", "01 a\r02 b\nstill b\r\n03 c");
    const QStringList page = Lines();
    EXPECT_EQ(Row(page, 1).value(1), "<TD>a</TD>");
    EXPECT_EQ(Row(page, 2).value(1), "<TD>b\nstill b</TD>");
    EXPECT_EQ(Row(page, 3).value(1), "<TD>c</TD>");
    EXPECT_TRUE(Row(page, 4).isEmpty());
}

TEST_F(TranslationFormTest, TwoRunsWriteTheSameFileAndAnUnwritableOneIsSkipped) {
    WriteLanguage("English.lng", NumberedLines(1, 7, "en"));
    folder.Write("Invia_Traduzione.html", QByteArray(100000, 'x'));  // an older, longer form
    lang::WriteTranslationForm(kProduct, kMail);
    const QByteArray first = testsupport::ReadFile(lang::TranslationFormPath());
    lang::WriteTranslationForm(kProduct, kMail);
    EXPECT_EQ(testsupport::ReadFile(lang::TranslationFormPath()), first);
    EXPECT_EQ(first, Lines().join("\r\n").toUtf8() + "\r\n");

    // A folder that may not be written: the old form can be neither removed nor
    // replaced.
    platform::hooks::SetFaultInjector([](platform::hooks::FileOp op, const QString&) {
        return op == platform::hooks::FileOp::OpenOutput || op == platform::hooks::FileOp::Delete
                   ? platform::hooks::Fault::AccessDenied
                   : platform::hooks::Fault::None;
    });
    WriteLanguage("English.lng", NumberedLines(1, 9, "changed"));
    lang::WriteTranslationForm(kProduct, kMail);  // throws nothing, reports nothing
    EXPECT_EQ(testsupport::ReadFile(lang::TranslationFormPath()), first);
}

#ifndef _WIN32
// The form's name held by a link to a file of the user's or by another name of it,
// before the run or put there between the old form's removal and the new one's
// creation: the user's file keeps every byte. A form is written where the old
// name could be removed; a name taken again meanwhile is left as it was put.
TEST_F(TranslationFormTest, AFileOfTheUsersAtTheFormsNameIsNeverWrittenThrough) {
    WriteLanguage("English.lng", NumberedLines(1, 3, "en"));
    const QByteArray form = Lines().join("\r\n").toUtf8() + "\r\n";
    const QByteArray words = "the user's own words";
    const QString mine = folder.Write("mine.txt", words);
    const QString path = lang::TranslationFormPath();
    const QByteArray from = QFile::encodeName(mine), at = QFile::encodeName(path);
    struct Case {
        const char* name;
        std::function<void()> before;  // sets the name up before the run
        bool between;                  // a hard link is made after the removal
    } cases[] = {
        {"hard link", [&] { ASSERT_EQ(::link(from.constData(), at.constData()), 0); }, false},
        {"link", [&] { ASSERT_EQ(::symlink(from.constData(), at.constData()), 0); }, false},
        {"relative link", [&] { ASSERT_EQ(::symlink("Lang/../mine.txt", at.constData()), 0); },
         false},
        {"hard link made in between", [] {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path);
        c.before();
        platform::hooks::SetFaultInjector([&](platform::hooks::FileOp op, const QString& p) {
            if (c.between && op == platform::hooks::FileOp::OpenOutput && p == path) {
                EXPECT_EQ(::link(from.constData(), at.constData()), 0);
            }
            return platform::hooks::Fault::None;
        });
        lang::WriteTranslationForm(kProduct, kMail);
        platform::hooks::SetFaultInjector(nullptr);
        EXPECT_EQ(testsupport::ReadFile(mine), words);
        EXPECT_FALSE(QFileInfo(path).isSymLink());
        EXPECT_EQ(QFileInfo(path).size(), c.between ? words.size() : form.size());
        if (!c.between) {
            EXPECT_EQ(testsupport::ReadFile(path), form);
        }
    }
}
#endif

}  // namespace
