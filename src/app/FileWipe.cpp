// The file wipe: the open dialog, the confirmation, each chosen file through
// WipeFile, and the end of the run.
#include <QChar>
#include <QStringList>

#include "app/Form1.h"
#include "engine/Dialog.h"
#include "engine/ProgressWindow.h"
#include "engine/Utilities.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Messages.h"

namespace app {

using lang::Testi;
using platform::kSep;
using platform::Try;

namespace {

const QChar NUL(0);

// The folder a path lies in: what stands before its last separator, the root
// itself for a name at the root; "" when there is no separator.
QString FolderOf(const QString& path) {
    const qsizetype i = path.lastIndexOf(kSep);
    if (i < 0)
        return {};
    return i == 0 ? QString(kSep) : path.left(i);
}

bool IsInside(const QString& path, const QString& folder) {
    return path.startsWith(folder.endsWith(kSep) ? folder : folder + kSep);
}

// The dialog's files in the shape the operation splits: one path alone, or a
// folder and names under it. The folder is the one all the files share, so
// files chosen from several folders keep their full paths (the names then hold
// the rest of the path).
QString JoinChoice(const QStringList& files) {
    if (files.isEmpty())
        return {};
    if (files.size() == 1)
        return files.front();
    QString folder = FolderOf(files.front());
    for (const QString& f : files) {
        while (!folder.isEmpty() && !IsInside(f, folder)) {
            const QString up = FolderOf(folder);
            if (up == folder)
                break;
            folder = up;
        }
    }
    const qsizetype skip = folder.size() + (folder.endsWith(kSep) ? 0 : 1);
    QString result = folder;
    for (const QString& f : files) result += NUL + f.mid(skip);
    return result;
}

}  // namespace

std::int16_t Form1Form::MetodoScelto() const {
    const int index = Combo1.ListIndex();
    return static_cast<std::int16_t>(index < 0 ? 0 : index);
}

QString Form1Form::GetFiles(const QString& sTitle) {
    platform::OpenDialogRequest request;
    request.title = sTitle;
    request.filters = {{Testi[77] + QStringLiteral(" (*.*)"), QStringLiteral("*")}};
    request.multiSelect = true;
    request.owner = this;
    const platform::OpenDialogResult result = platform::ShowOpenDialog(request);
    if (result.failed) {
        platform::MsgBox(result.errorDescription + QStringLiteral("(") +
                             QString::number(result.errorNumber) + QStringLiteral(")"),
                         platform::mb::Exclamation, Testi[32]);
        return {};
    }
    return JoinChoice(result.files);
}

void Form1Form::Command1_Click() {
    // One run at a time: a click, key or drop that reaches the hidden window
    // while a run yields starts nothing.
    const engine::WipeRun run;
    if (!run.Started())
        return;
    Try([this] { SetMousePointer(platform::pointer::Hourglass); });
    engine::Annullato = 0;

    QStringList Scelti;
    Try([&] {
        const QString choice = GetFiles(QStringLiteral("Open"));
        if (!choice.isEmpty())
            Scelti = choice.split(NUL);
    });
    // Wide enough for any number of chosen files.
    const qsizetype u = Scelti.size() - 1;

    if (u >= 0 && !ConfirmDestruction(platform::mb::Information, Testi[14])) {
        Try([this] { SetMousePointer(platform::pointer::Default); });
        return;
    }

    engine::DialogForm& dlg = engine::Dialog();
    auto startRun = [&] {
        Try([&] { dlg.Load(); });
        Try([&] { dlg.Label9.SetVisible(true); });
        Try([&] { dlg.Show(); });
        Try([this] { Hide(); });
    };
    if (u >= 1) {
        Totale = platform::Currency::FromWhole(u);
        startRun();
        for (qsizetype i = 1; i <= u; ++i) {
            // WipeFile sets the total to 99 for its own bar.
            Totale = platform::Currency::FromWhole(u);
            Try([&] {
                dlg.ImgBar.SetWidth(engine::BarWidth(Totale.ToDouble(), static_cast<double>(i)));
            });
            Try([&] { dlg.Refresh(); });
            engine::WipeFile(Scelti[0] + kSep + Scelti[i], MetodoScelto());
            if (engine::Annullato == 1)
                break;
            platform::DoEvents();
            Try([&] { dlg.ImgBar.Refresh(); });
        }
    } else if (u == 0) {
        startRun();
        Try([&] { dlg.Refresh(); });
        engine::WipeFile(Scelti[0], MetodoScelto());
    }

    // Read before the window is touched again: a touch of an unloaded window
    // loads it and clears the flag.
    const bool cancelled = engine::Annullato == 1;
    const bool chosen = u >= 0;
    if (chosen && !cancelled && Check1.Value() == 0) {
        Try([&] { dlg.ImgBar.SetWidth(engine::kBarFull); });
        Try([&] { dlg.Refresh(); });
    }
    Try([&] { dlg.Label9.SetVisible(false); });
    Try([&] { dlg.Unload(); });
    Try([this] { SetMousePointer(platform::pointer::Default); });
    if (chosen && !cancelled)
        EndOfRun(Testi[17] + QStringLiteral("     "));
    Try([this] { Show(); });
}

}  // namespace app
