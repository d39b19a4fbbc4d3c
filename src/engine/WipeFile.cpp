#include <QChar>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#include "engine/Dialog.h"
#include "engine/MainWindowLink.h"
#include "engine/ProgressWindow.h"
#include "engine/RandomFill.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/Messages.h"

namespace engine {

namespace {

using lang::Testi;

std::int64_t g_notWiped = 0;
QSet<QString> g_notWipedNames;

}  // namespace

void ResetNotWiped() {
    g_notWiped = 0;
    g_notWipedNames.clear();
}
void CountNotWiped(std::int64_t n) {
    g_notWiped += n;
}
void CountNotWiped(const QString& path) {
    g_notWipedNames.insert(path);
}
void UncountNotWiped(const QString& path) {
    g_notWipedNames.remove(path);
}
std::int64_t NotWiped() {
    return g_notWiped + g_notWipedNames.size();
}

unsigned char DrawValue() {
    // r * 254 + 1 made whole, halves to the even one: 1 to 255, never 0.
    float x = platform::Rnd() * 254.0f + 1.0f;
    return static_cast<unsigned char>(std::nearbyint(x));
}

bool IsRandomKind(PassKind k) {
    return k == PassKind::Random || k == PassKind::RandomDigit;
}

void FillKind(PassKind kind, unsigned char* out, std::size_t n, unsigned char v) {
    switch (kind) {
        case PassKind::Zeros:
            std::memset(out, '0', n);
            break;
        case PassKind::Ones:
            std::memset(out, '1', n);
            break;
        case PassKind::Byte255:
            std::memset(out, 255, n);
            break;
        case PassKind::Byte0:
            std::memset(out, 0, n);
            break;
        case PassKind::DrawnValue:
            std::memset(out, v, n);
            break;
        case PassKind::Random:
            FillRandom(out, n, 0, 255);
            break;
        case PassKind::RandomDigit:
            FillRandom(out, n, 48, 57);
            break;
    }
}

const unsigned char* RandomPassBytes(PassKind kind, unsigned char* buffer, std::size_t n) {
    const bool digits = kind == PassKind::RandomDigit;
    // Bytes that helper threads computed are written from where they lie.
    if (const unsigned char* ready = random::RandomView(n, digits ? 48 : 0, digits ? 57 : 255))
        return ready;
    FillKind(kind, buffer, n, 0);
    return buffer;
}

namespace {

// Writes n bytes of the kind at byte `start` (from 1) through a bounded buffer;
// a drawn-value region gets one value of its own.
void WriteRegion(platform::ByteFile& file, std::int64_t start, std::int64_t n, PassKind kind,
                 std::unique_ptr<unsigned char[]>& buffer) {
    if (n <= 0)
        return;
    if (!buffer)
        buffer = std::make_unique<unsigned char[]>(kWriteBuffer);
    unsigned char v = kind == PassKind::DrawnValue ? DrawValue() : 0;
    file.Seek(start);
    const bool random = IsRandomKind(kind);
    std::size_t filled = 0;
    while (n > 0) {
        auto m = static_cast<std::size_t>(std::min<std::int64_t>(n, kWriteBuffer));
        if (random) {
            file.Write(RandomPassBytes(kind, buffer.get(), m), m);
        } else {
            // A constant region is laid out in the buffer once.
            if (filled < m) {
                FillKind(kind, buffer.get(), m, v);
                filled = m;
            }
            file.Write(buffer.get(), m);
        }
        n -= static_cast<std::int64_t>(m);
    }
}

// A pass of a file under 1000 bytes: one write, no progress. False when WritePass
// could not write it (its box is shown).
bool WriteSmallPass(const QString& Path, PassKind kind, std::int64_t length) {
    Bytes data(static_cast<std::size_t>(length));
    if (IsRandomKind(kind)) {
        FillKind(kind, data.data(), data.size(), 0);
        return WritePass(Path, data);
    }
    FillKind(kind, data.data(), data.size(), kind == PassKind::DrawnValue ? DrawValue() : 0);
    platform::ByteFile file(Path);
    file.Seek(1);
    file.Write(data.data(), data.size());
    file.Sync();
    file.Close();
    return true;
}

}  // namespace

PassesEnd WriteMethodPasses(const QString& Path, int Metodo, const QString& Nome) {
    const std::span<const PassKind> passes = PassesOf(Metodo);
    const std::int64_t length = MainWindow().Lunghezza;
    const PassGeometry g = GeometryOf(length);
    std::unique_ptr<unsigned char[]> buffer;
    const bool ownTotalMethod = Metodo == 0 || Metodo == 1 || Metodo == 3 || Metodo == 4;

    for (std::size_t k = 0; k < passes.size(); ++k) {
        const PassKind kind = passes[k];
        if (!g.Chunked()) {
            if (!WriteSmallPass(Path, kind, length))
                return PassesEnd::Failed;
            continue;
        }
        platform::ByteFile file(Path);
        // Helper threads compute the random bytes of large chunks; they end with the pass.
        std::optional<random::RandomHelpers> helpers;
        if (IsRandomKind(kind))
            helpers.emplace();
        DialogForm& dlg = Dialog();
        dlg.Load();
        // The pass number shows from method 5 on.
        const int shownPass = ShowsPassNumber(Metodo) ? static_cast<int>(k) + 1 : 0;
        dlg.Label8.SetCaption(WipingCaption(Nome, 0, shownPass));
        const bool ownTotal = ownTotalMethod && kind != PassKind::Random;
        if (ownTotal)
            MainWindow().Totale = platform::Currency::FromWhole(99);
        dlg.ImgBar.SetWidth(0);
        dlg.Show();
        if (kind == PassKind::Zeros && (Metodo == 1 || Metodo == 3 || Metodo == 4)) {
            dlg.Refresh();
            platform::DoEvents();
        }
        MainWindow().Hide();

        for (int i = 0; i <= 99; ++i) {
            WriteRegion(file, g.chunk * i + 1, g.chunk, kind, buffer);
            dlg.Label8.SetCaption(WipingCaption(Nome, i + 1, shownPass));
            const double total = ownTotal ? MainWindow().Totale.ToDouble() : 99.0;
            dlg.ImgBar.SetWidth(BarWidth(total, i));
            platform::DoEvents();
            if (Annullato == 1) {
                file.Sync();
                file.Close();
                return PassesEnd::Cancelled;
            }
            if (Metodo == 0)
                platform::DoEvents();
        }
        WriteRegion(file, 100 * g.chunk + 1, g.tail, kind, buffer);
        file.Sync();
        file.Close();
    }
    return PassesEnd::Written;
}

namespace {

QString NewName() {
    platform::RandomizeFromClock();
    QString name;
    for (int i = 0; i < 24; ++i) {
        name += QChar(static_cast<char16_t>(std::floor(platform::Rnd() * 25.0 + 65.0)));
    }
    return name;
}

void CancelPath() {
    Dialog().Unload();
    MainWindow().SetMousePointer(platform::pointer::Default);
    platform::MsgBox(Testi[27], platform::mb::Information, Testi[26]);
    Annullato = 1;
}

}  // namespace

void WipeFile(const QString& Path, std::int16_t Metodo) {
    if (Annullato == 1)
        return;
    // Where the file lies: its own name, then its random one.
    QString current = Path;
    try {
        // Links, fifos, sockets, devices and folders are not found: never opened.
        // Whatever the name leads to keeps its data, as does a name that is gone.
        if (!platform::ExistsNormalFile(Path)) {
            CountNotWiped(Path);
            return;
        }
        platform::RandomizeFromClock();
        QString Nome;
        if (int i = Path.lastIndexOf(platform::kSep); i >= 0) {
            Nome = Path.mid(i + 1) + QStringLiteral("...");
        }
        {
            platform::ByteFile file(Path);
            MainWindow().Lunghezza = file.Length();
            if (MainWindow().Lunghezza == 0) {
                file.Close();
                platform::DeleteFile(Path);
                UncountNotWiped(Path);
                return;
            }
            file.Close();
        }

        if (Metodo >= 0 && Metodo <= 7) {
            switch (WriteMethodPasses(Path, Metodo, Nome)) {
                case PassesEnd::Written:
                    break;
                case PassesEnd::Cancelled:
                    CancelPath();
                    return;
                case PassesEnd::Failed:
                    // A file whose data was not overwritten is never removed.
                    CountNotWiped(Path);
                    return;
            }
        } else if (Metodo == 8) {
            DialogForm& dlg = Dialog();
            dlg.Load();
            dlg.Label8.SetCaption(WipingCaption(Nome, 0, 1));
            dlg.Show();
            MainWindow().Hide();
            platform::DoEvents();
            dlg.Refresh();
            const int result = WipeGutmann(Path, Nome);
            if (result == -1) {
                CountNotWiped(Path);
                Dialog().Unload();
                MainWindow().SetMousePointer(platform::pointer::Default);
                return;
            }
            if (result == kGutmannPassFailed) {
                CountNotWiped(Path);
                return;  // as after an error: the file stays under its name
            }
            if (Annullato == 1) {
                CancelPath();
                return;
            }
        }

        if (int i = Path.lastIndexOf(platform::kSep); i >= 0) {
            MainWindow().CartellaFile = Path.left(i + 1);
        }
        const QString target = MainWindow().CartellaFile + NewName();
        platform::RenameFile(Path, target);
        UncountNotWiped(Path);
        current = target;
        {
            platform::OutputFile out(target);
            out.PrintLine(QStringLiteral(" "));
            out.Close();
        }
        platform::DeleteFile(target);
    } catch (const platform::FileHasOtherNames& e) {
        // Its data belongs to names the user did not choose too: left alone, quietly.
        if (e.FirstTime())
            CountNotWiped();
    } catch (const platform::RuntimeError& e) {
        // The file is still there, under one of its names.
        CountNotWiped(current);
        platform::MsgBox(current + QStringLiteral(": ") + platform::DescribeWithNumber(e),
                         platform::mb::Exclamation, Testi[28]);
    }
}

}  // namespace engine
