#include <QChar>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <span>

#include "engine/Dialog.h"
#include "engine/MainWindowLink.h"
#include "engine/PassWriter.h"
#include "engine/RandomFill.h"
#include "engine/SpaceRun.h"
#include "engine/Utilities.h"
#include "engine/Wipe.h"
#include "engine/WipeSpace.h"
#include "lang/Testi.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Drives.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/FillFiles.h"
#include "platform/Format.h"
#include "platform/Messages.h"

namespace engine {

namespace {

using lang::Testi;
using platform::RuntimeError;
using platform::Skip;
using platform::Try;
const QChar CR(13);

// A fill file is complete at this many thousands of bytes.
constexpr std::int64_t kFillFileKb = 1048000;
// The bar is left alone once it is this wide.
constexpr int kBarStop = 6400;

std::int64_t g_startKb = 0;
std::int64_t g_startFile = 0;

}  // namespace

void SpaceRun::Run() {
    mainWindow_.Ore = mainWindow_.Minuti = mainWindow_.Secondi = 0;
    mainWindow_.SecondiTotali = mainWindow_.KbScritti = mainWindow_.KbFile = 0;
    metodo_ = mainWindow_.MethodIndex();
    // A method without passes of its own fills as method 0 does.
    if (PassesOf(metodo_).empty())
        metodo_ = 0;

    // Never fill the wrong file system: the entry must still be the mount the
    // list showed, and the run holds that very folder from here on.
    if (!OpenRoot()) {
        FailBox();
        return;
    }
    if (!root_.CanList())
        return;
    // The free amount of the drive the run holds, whatever the entry's path shows later.
    Try<Skip::Anything>([&] {
        if (const auto free = root_.FreeBytes())
            mainWindow_.Totale = FreeSpaceTotal(*free);
    });

    platform::RandomizeFromClock();
    mainWindow_.SetTimerInterval(600);
    StartFreeSpaceClock();
    blockSize_ = kFirstBlock;
    discoPieno_ = 0;
    numeroFile_ = g_startFile;
    mainWindow_.KbScritti = g_startKb;
    DialogForm& d = Dialog();
    for (platform::Label* l : {&d.Label1, &d.Label2, &d.Label3, &d.Label4, &d.Label8}) {
        (void)Attempt(Operation::Other, [&] {
            if (!l->Visible())
                l->SetVisible(true);
        });
    }

    // Helper threads compute the random blocks ahead; they end with the run.
    std::optional<random::RandomHelpers> helpers;
    if (std::ranges::any_of(PassesOf(metodo_), IsRandomKind))
        helpers.emplace();
    const bool filled = Fill() != Outcome::Fail && EndFilling();
    helpers.reset();
    if (!filled) {
        // The drive is emptied before the box: none waits over a full drive.
        Cleanup();
        FailBox();
        return;
    }
    Cleanup();
    Report();
    Try<Skip::Anything>([] { Dialog().ImgBar.SetWidth(0); });
    Try<Skip::Anything>([] { Dialog().Unload(); });
    Try<Skip::Anything>([this] { mainWindow_.Show(); });
}

SpaceRun::Outcome SpaceRun::Fill() {
    bool newFile = true;
    for (;;) {
        if (newFile) {
            newFile = false;
            const Outcome t = StartFile();
            if (t == Outcome::EndFilling || t == Outcome::Fail)
                return t;
            if (t == Outcome::NextFile) {
                newFile = true;
                continue;
            }
        }
        const Outcome t = Cycle();
        if (t == Outcome::NextFile)
            newFile = true;
        else if (t == Outcome::EndFilling || t == Outcome::Fail)
            return t;
    }
}

bool SpaceRun::OpenRoot() {
    return Try<Skip::Anything>([&] { root_.Open(drive_); }) &&
           platform::StillMountedAsListed(drive_) && root_.IsAt(drive_);
}

SpaceRun::Outcome SpaceRun::StartFile() {
    ++numeroFile_;
    const Operation op = Operation::Create;
    const QString qx = QStringLiteral("QX");
    Outcome t = Outcome::Next;
    const QString work = platform::JoinPath(drive_, qx);
    // The work folder is found or made once; the later fill files go where it is.
    if (!qx_.IsOpen()) {
        acting_ = work;
        t = Attempt(op, [&] {
            if (root_.KindOf(qx) != platform::FileKind::Folder) {
                root_.MakeFolder(qx);
                madeFolder_ = true;
            }
        });
        if (t != Outcome::Next)
            return t;
        // Not through a link, and not a folder another drive is mounted on: filling
        // that would wipe the other drive's free space, and its files are not ours.
        t = Attempt(op, [&] { qx_.Open(root_, qx); });
        if (t != Outcome::Next)
            return t;
    }
    acting_ = platform::JoinPath(work, FillName(numeroFile_));
    t = Attempt(op, [&] {
        file_.Create(qx_, FillName(numeroFile_));
        created_.emplace_back(numeroFile_, file_.Identity());
    });
    if (t != Outcome::Next)
        return t;
    // The position at the file's first byte: only an open file has one.
    return Attempt(op, [&] {
        if (!file_.IsOpen())
            platform::Raise(platform::err::BadFileNameOrNumber);
    });
}

SpaceRun::Outcome SpaceRun::Cycle() {
    const MethodTraits& method = TraitsOf(metodo_);
    const std::span<const Block> cycle = method.passes;
    for (const Block block : cycle) {
        const Outcome t = Attempt(Operation::WriteBlock, [&] {
            const unsigned char v = block == Block::DrawnValue ? DrawValue() : 0;
            WriteRegion(file_, blockSize_, KindBytes(block, v));
        });
        if (t != Outcome::Next)
            return t;
        if (method.spaceYieldsAfter & KindBit(block))
            platform::DoEvents();
    }
    const std::int64_t kb = static_cast<std::int64_t>(cycle.size()) * (blockSize_ / 1000);
    mainWindow_.KbScritti += kb;
    mainWindow_.KbFile += kb;

    DialogForm& d = Dialog();
    Outcome t = Attempt(Operation::Other, [&] {
        // A free amount of 0 gives no bar rather than a division by zero.
        if (d.ImgBar.Width() < kBarStop && FreeKb() > 0) {
            const double w = std::floor(kBarFull / static_cast<double>(FreeKb()) *
                                        static_cast<double>(mainWindow_.KbScritti));
            if (w > std::numeric_limits<int>::max())
                throw RuntimeError(platform::kInvalidPropertyValue,
                                   QStringLiteral("Invalid property value"));
            d.ImgBar.SetWidth(static_cast<int>(w));
        }
    });
    if (t == Outcome::EndFilling || t == Outcome::Fail)
        return t;
    t = Attempt(Operation::Other, [&] {
        const float percent = static_cast<float>(d.ImgBar.Width()) / 6390.0f * 100.0f;
        d.Label8.SetCaption(Testi[74] + CR +
                            platform::Format(static_cast<double>(percent), u"##0.0") +
                            QStringLiteral("%"));
    });
    if (t == Outcome::EndFilling || t == Outcome::Fail)
        return t;

    if (mainWindow_.KbFile >= kFillFileKb) {
        mainWindow_.KbFile = 0;
        t = Attempt(Operation::Flush, [&] {
            file_.Sync();
            file_.Close();
        });
        return t == Outcome::Next ? Outcome::NextFile : t;
    }
    platform::DoEvents();
    t = Attempt(Operation::Other, [&] { d.Label2.SetCaption(WrittenLine(mainWindow_.KbScritti)); });
    if (t == Outcome::EndFilling || t == Outcome::Fail)
        return t;
    return Annullato == 0 ? Outcome::Next : Outcome::EndFilling;
}

QString SpaceRun::WrittenLine(std::int64_t written) const {
    return Testi[73] + QStringLiteral(" ") + platform::Format(written, u"###,###,###,###,###") +
           QStringLiteral(" / ") + platform::Format(FreeKb(), u"###,###,###") +
           QStringLiteral(" Kb");
}

// Closes the fill file; false when the last data could not be flushed.
bool SpaceRun::EndFilling() {
    // The file system's own records go too: blocks it took for them while the
    // drive filled up are otherwise freed with the fill files, never written. So
    // do fill files closed before, when the filling ends with none open.
    const Outcome t = Attempt(Operation::Flush, [&] {
        if (file_.IsOpen())
            file_.Sync();
        acting_ = drive_;
        root_.Sync();
    });
    Try<Skip::Anything>([&] { file_.Close(); });
    if (t == Outcome::Fail)
        return false;
    if (Annullato == 0) {
        Try<Skip::Anything>([&] {
            if (const auto free = root_.FreeBytes())
                keptBack_ = *free;
        });
        DialogForm& d = Dialog();
        Try<Skip::Anything>([&] { d.ImgBar.SetWidth(kBarFull); });
        Try<Skip::Anything>([&] { d.Label8.SetCaption(Testi[74] + CR + QStringLiteral("100%")); });
        Try<Skip::Anything>([&] { d.Label2.SetCaption(WrittenLine(FreeKb())); });
    }
    return true;
}

// Removes what the run made, and nothing else: the fill files it created (a
// file of the same name left before was unlinked when the run took the name)
// and the work folder when the run made it. A folder QX that was there before
// stays, with whatever else it holds. Each name goes only while it still leads
// to what the run made there, and inside the folders the run holds.
void SpaceRun::Cleanup() {
    Try<Skip::Anything>([&] { file_.Close(); });
    for (const auto& [k, made] : created_) {
        const QString fill = FillName(k);
        if (Try<Skip::Anything>([&] { qx_.Rename(fill, dummy_, made); }))
            Try<Skip::Anything>([&] { qx_.Delete(dummy_, made); });
        else
            Try<Skip::Anything>([&] { qx_.Delete(fill, made); });
    }
    if (madeFolder_ && qx_.IsOpen()) {
        const QString qx = QStringLiteral("QX");
        const platform::FileIdentity made = qx_.Identity();
        if (Try<Skip::Anything>([&] { root_.Rename(qx, dummy_, made); }))
            Try<Skip::Anything>([&] { root_.RemoveFolder(dummy_, made); });
        else
            Try<Skip::Anything>([&] { root_.RemoveFolder(qx, made); });
    }
    Try<Skip::Anything>([&] { mainWindow_.SetTimerInterval(0); });
}

void SpaceRun::Report() {
    Try<Skip::Anything>([&] {
        if (Annullato == 0) {
            if (mainWindow_.ShutdownAtEnd() == 0) {
                QString prompt =
                    SpaceSummary(mainWindow_.Ore, mainWindow_.Minuti, mainWindow_.Secondi);
                if (keptBack_ > 0) {
                    // Rounded up: what was kept back is never shown as nothing.
                    const auto kb = static_cast<std::int64_t>(
                        std::min<std::uint64_t>(keptBack_ / 1000 + (keptBack_ % 1000 != 0),
                                                std::numeric_limits<std::int64_t>::max()));
                    prompt += CR + Testi[85] + QStringLiteral(" ") +
                              platform::Format(kb, u"###,###,###") + QStringLiteral(" Kb");
                }
                platform::MsgBox(prompt, platform::mb::Information, Testi[18]);
            } else {
                ArrestaSistema();
            }
        } else {
            platform::MsgBox(Testi[27], platform::mb::Information, Testi[26]);
        }
    });
}

namespace hooks {
void SetSpaceCountersStart(std::int64_t kbWritten, std::int64_t fillFile) {
    g_startKb = kbWritten;
    g_startFile = fillFile;
}
}  // namespace hooks

void WipeSpace(const QString& drive) {
    SpaceRun run(drive);
    try {
        run.Run();
    } catch (...) {
        MainWindow().SetTimerInterval(0);
        throw;
    }
    MainWindow().SetTimerInterval(0);
}

}  // namespace engine
