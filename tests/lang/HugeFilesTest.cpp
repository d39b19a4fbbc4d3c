// The settings and language files are read only as far as the program uses
// them, each line up to its bound: a file of gigabytes (sparse, so it costs no
// disk space) gives the texts of its first lines in a process whose address
// space could not hold it, and only a few megabytes are read from it.
#include <gtest/gtest.h>

#include <QFile>
#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "LangFixture.h"
#include "lang/FirstLines.h"
#include "lang/LanguageFile.h"
#include "lang/Settings.h"

namespace {

#ifndef _WIN32

constexpr qint64 kGiB = qint64(1) << 30;
constexpr qint64 kMiB = qint64(1) << 20;

// Writes `start`, then makes the file `size` bytes long: the rest is a hole.
void WriteSparse(const QString& path, const QByteArray& start, qint64 size) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(start), start.size());
    ASSERT_TRUE(f.resize(size));
}

// The bytes this process has read so far, as the kernel counts them; -1 when
// the system keeps no count.
qint64 BytesRead() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

// Lets the address space grow by at most `room` bytes beyond what it holds now:
// a file of gigabytes read whole cannot get through.
void LimitAddressSpace(qint64 room) {
    QFile statm(QStringLiteral("/proc/self/statm"));
    qint64 pages = 0;
    if (statm.open(QIODevice::ReadOnly))
        pages = statm.readAll().split(' ').value(0).toLongLong();
    const qint64 now = pages * sysconf(_SC_PAGESIZE);
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = static_cast<rlim_t>(now + room);
    if (setrlimit(RLIMIT_AS, &limit) != 0) {
        std::fprintf(stderr, "the address space could not be limited\n");
        std::_Exit(2);
    }
}

// Ends the child: 0 when everything held; what did not is on its error output.
[[noreturn]] void Finish(bool ok, qint64 readBefore, qint64 maxRead) {
    const qint64 after = BytesRead();
    if (readBefore >= 0 && after - readBefore > maxRead) {
        std::fprintf(stderr, "read %lld bytes\n", static_cast<long long>(after - readBefore));
        ok = false;
    }
    std::fflush(stderr);
    std::_Exit(ok ? 0 : 1);
}

TEST_F(LangTest, AHugeLanguageFileGivesItsFirstNinetyLinesEachWithinItsBound) {
    const QString e(QChar(0xE9));                                     // two bytes in UTF-8
    QByteArray start = "01 " + QByteArray(100 * 1024, 'x') + "\r\n";  // longer than a line keeps
    start += "02 " + e.repeated(40000).toUtf8() + "\r\n";  // the bound falls inside a character
    start += NumberedLines(3, 95, "text");
    WriteSparse(folder.File("Lang/Huge.lng"), start, 2 * kGiB);

    const auto child = [&] {
        LimitAddressSpace(256 * kMiB);
        const qint64 before = BytesRead();
        lang::LoadLanguageFile("Huge.lng");
        bool ok = true;
        auto expect = [&](int n, const QString& text) {
            if (lang::Testi[n] != text) {
                std::fprintf(stderr, "text %d: %lld characters, \"%s\"\n", n,
                             static_cast<long long>(lang::Testi[n].size()),
                             lang::Testi[n].left(20).toUtf8().constData());
                ok = false;
            }
        };
        expect(1, QString(lang::kMaxLineBytes - 3, QLatin1Char('x')));
        expect(2, e.repeated((lang::kMaxLineBytes - 4) / 2));
        expect(3, "text 3");
        expect(90, "text 90");
        Finish(ok, before, 8 * kMiB);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

TEST_F(LangTest, AHugeSettingsFileGivesItsTwoFieldsEachWithinItsBound) {
    const QByteArray start = QByteArray(100 * 1024, '7') + "\r\nItaliano.lng\r\n";
    WriteSparse(folder.File("Quellix.ini"), start, 3 * kGiB);

    const auto child = [&] {
        LimitAddressSpace(256 * kMiB);
        const qint64 before = BytesRead();
        QString metodo, lingua;
        const bool found = lang::ReadSettings(metodo, lingua);
        const bool ok = found && metodo == QString(lang::kMaxLineBytes, QLatin1Char('7')) &&
                        lingua == "Italiano.lng";
        if (!ok)
            std::fprintf(stderr, "%lld characters, \"%s\"\n", static_cast<long long>(metodo.size()),
                         lingua.toUtf8().constData());
        Finish(ok, before, 1 * kMiB);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

#endif

}  // namespace
