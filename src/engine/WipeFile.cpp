#include <QChar>
#include <cmath>

#include "engine/MainWindowLink.h"
#include "engine/PassProgress.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/HeldFile.h"
#include "platform/Messages.h"

namespace engine {

namespace {

QString NewName() {
    platform::RandomizeFromClock();
    QString name;
    for (int i = 0; i < 24; ++i) {
        name += QChar(static_cast<char16_t>(std::floor(platform::Rnd() * 25.0 + 65.0)));
    }
    return name;
}

}  // namespace

void WipeFile(const QString& Path, std::int16_t Metodo, WipeProgress& progress,
              platform::TreeAnchor* beneath) {
    // A click or key that came while the file before was wiped is taken first.
    platform::ProcessPendingEvents();
    if (Annullato == 1)
        return;
    // Where the file lies: its own name, then its random one.
    QString current = Path;
    try {
        // The file and its folder, found once: every step below acts on them.
        platform::HeldFile held(Path, beneath);
        // Links, fifos, sockets, devices and folders are not found: never opened.
        // Whatever the name leads to keeps its data, as does a name that is gone.
        if (!held.IsNormalFile()) {
            CountNotWiped(Path);
            return;
        }
        platform::RandomizeFromClock();
        {
            platform::ByteFile file(held);
            MainWindow().Lunghezza = file.Length();
            if (MainWindow().Lunghezza == 0) {
                file.Close();
                held.Delete();
                UncountNotWiped(Path);
                return;
            }
            file.Close();
        }

        const MethodTraits& method = TraitsOf(Metodo);
        if (!method.passes.empty()) {
            switch (WriteMethodPasses(held, Metodo, MainWindow().Lunghezza, progress)) {
                case PassesEnd::Written:
                    break;
                case PassesEnd::Cancelled:
                    progress.Stopped();
                    return;
                case PassesEnd::Failed:
                    // A file whose data was not overwritten is never removed.
                    CountNotWiped(Path);
                    return;
            }
        } else if (method.thirtyFivePass) {
            progress.PassBegins(1, PassKind::Random);
            const int result = WipeGutmann(held, progress);
            if (result == -1) {
                CountNotWiped(Path);
                progress.Failed();
                return;
            }
            if (result == kGutmannPassFailed) {
                CountNotWiped(Path);
                return;  // as after an error: the file stays under its name
            }
            // 0: the method stopped when told to. Asked again for a stop told
            // during its last step.
            if (result == 0 || !progress.GoOn()) {
                progress.Stopped();
                return;
            }
        }

        if (const qsizetype i = Path.lastIndexOf(platform::kSep); i >= 0) {
            MainWindow().CartellaFile = Path.left(i + 1);
        }
        const QString target = MainWindow().CartellaFile + NewName();
        held.Rename(target);
        UncountNotWiped(Path);
        current = target;
        {
            platform::OutputFile out;
            out.Open(held);
            out.PrintLine(QStringLiteral(" "));
            out.Close();
        }
        held.Delete();
        // Written over in place, the file's old blocks stay where the file system
        // wrote every change to new ones: its data is still on the drive.
        if (held.OnCopyOnWrite())
            CountNotWiped();
    } catch (const platform::FileHasOtherNames& e) {
        // Its data belongs to names the user did not choose too: left alone, quietly.
        if (e.FirstTime())
            CountNotWiped();
    } catch (const platform::RuntimeError& e) {
        // The file is still there, under one of its names.
        CountNotWiped(current);
        platform::MsgBox(current + QStringLiteral(": ") + platform::DescribeWithNumber(e),
                         platform::mb::Exclamation, lang::Testi[28]);
    }
}

}  // namespace engine
