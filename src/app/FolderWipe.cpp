// The folder wipe: every file of a tree wiped, then every folder given random
// names and removed, each after all the folders inside it.
#include "app/FolderWipe.h"

#include <QChar>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>

#include "app/Form1.h"
#include "engine/Dialog.h"
#include "engine/ProgressWindow.h"
#include "engine/Utilities.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Events.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/FillFiles.h"
#include "platform/Folders.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/ProgramFolder.h"
#include "platform/TreeAnchor.h"

namespace app {

using engine::Annullato;
using lang::Testi;
using platform::Try;

namespace {

// The rounds of new names a folder of the tree gets, and their length.
constexpr int kRenameRounds = 8;
constexpr int kFolderNameLength = 16;
constexpr int kScratchLines = 100;

}  // namespace

// What a folder run holds while it lasts besides what every run holds (its
// engine::WipeRun: the count of what it left and its stop flag): the top it
// opened, the bounds of its walk (one mount, each folder entered once), and
// what the last listing of ElencaFiles could not reach. Made when the run
// starts, gone when it ends.
struct Form1Form::FolderRun {
    platform::TreeAnchor* tree = nullptr;
    platform::FolderWalk* walk = nullptr;
    platform::ListingGaps gaps;
};

namespace {

// Makes `run` the form's folder run for as long as the scope lives.
class FolderRunScope {
  public:
    FolderRunScope(Form1Form::FolderRun*& slot, Form1Form::FolderRun* run)
        : slot_(slot), previous_(std::exchange(slot, run)) {}
    ~FolderRunScope() { slot_ = previous_; }
    FolderRunScope(const FolderRunScope&) = delete;
    FolderRunScope& operator=(const FolderRunScope&) = delete;

  private:
    Form1Form::FolderRun*& slot_;
    Form1Form::FolderRun* previous_;
};

// The walk of Scan or Scan2: its bounds hold from the top call to its return. A
// walk made outside a run holds its own top and resolves its names beneath it,
// as the run does.
class WalkScope {
  public:
    WalkScope(Form1Form::FolderRun*& slot, const QString& top) {
        if (!slot) {
            anchor_.emplace(top);
            own_.tree = &*anchor_;
            scope_.emplace(slot, &own_);
        }
        run_ = slot;
        if (!run_->walk) {
            walk_ = std::make_unique<platform::FolderWalk>(top, run_->tree);
            run_->walk = walk_.get();
        }
    }
    ~WalkScope() {
        if (walk_)
            run_->walk = nullptr;
    }
    WalkScope(const WalkScope&) = delete;
    WalkScope& operator=(const WalkScope&) = delete;
    platform::FolderWalk& Walk() { return *run_->walk; }
    platform::TreeAnchor* Tree() { return run_->tree; }

  private:
    std::optional<platform::TreeAnchor> anchor_;
    Form1Form::FolderRun own_;
    std::optional<FolderRunScope> scope_;
    Form1Form::FolderRun* run_ = nullptr;
    std::unique_ptr<platform::FolderWalk> walk_;
};

// The folder of a run: never "", the system's root, a link (a link would lead
// the run out of the tree it names), or a path that walks through "." or "..".
bool IsFolderOfARun(const QString& folder) {
    if (folder.isEmpty() || platform::IsRootFolder(folder) || platform::HasDotNames(folder))
        return false;
    return platform::KindOf(platform::CleanPath(folder)) != platform::FileKind::Link;
}

// One pass's listing: List2 holds the top alone, then the walk adds the folders
// below it. False when the run was cancelled during the walk.
bool ListTree(Form1Form& form, void (Form1Form::*walk)(const QString&), const QString& top) {
    Try([&] {
        form.List2.Clear();
        form.List2.AddItem(top);
    });
    (form.*walk)(top);
    return Annullato != 1;
}

QString FolderName() {
    QString name;
    for (int i = 0; i < kFolderNameLength; ++i) {
        name += QChar(u'0' + static_cast<int>(std::floor(platform::Rnd() * 9.0)));
    }
    return name;
}

}  // namespace

QString ScegliCartella(const QString& title, const platform::Form* owner) {
    return platform::BrowseForFolder(title, owner);
}

void Form1Form::ElencaFiles(const QString& folderOr) {
    // Outside a run the listing is on its own: what it misses goes nowhere.
    FolderRun alone;
    FolderRun& run = folderRun_ ? *folderRun_ : alone;
    platform::TreeAnchor* const tree = run.tree;
    run.gaps = {};
    if (Annullato == 1)
        return;
    const QStringList files = platform::FolderFiles(folderOr, &run.gaps, tree);
    const auto n = static_cast<int>(files.size());
    if (n <= 0)
        return;
    Totale = platform::Currency::FromWhole(n);
    engine::DialogForm& dlg = engine::Dialog();
    Try([&] {
        dlg.Load();
        dlg.Label9.SetVisible(true);
        dlg.Show();
    });
    for (int k = 1; k <= n; ++k) {
        Try([&] {
            dlg.ImgBar.SetWidth(engine::BarWidth(n, k));
            dlg.Refresh();
        });
        if (Annullato == 1)
            return;
        const QString path = platform::JoinPath(folderOr, files[k - 1]);
        const platform::FileKind kind = platform::KindOf(path, tree);
        if (kind == platform::FileKind::Link || kind == platform::FileKind::Other) {
            // A link, fifo, socket or device is removed as an entry: never opened,
            // never followed, and its folder can go.
            Try([&] { platform::DeleteFile(path, tree); });
        } else {
            // Both of the attribute resets come to the same here.
            engine::ClearAttributes(path, tree);
            engine::WipeFile(path, MetodoScelto(), tree);
        }
        if (Annullato == 1)
            return;
        Try([&] { dlg.ImgBar.Refresh(); });
    }
    Try([&] { dlg.Label9.SetVisible(false); });
}

void Form1Form::Scan(const QString& Percorso) {
    if (Annullato == 1)
        return;
    WalkScope scope(folderRun_, Percorso);
    // A folder that is gone, lies on another mount or was walked already is left.
    if (!scope.Walk().Enter(Percorso))
        return;
    ElencaFiles(Percorso);
    engine::ClearAttributes(Percorso, scope.Tree());
    const QStringList subfolders = scope.Walk().Subfolders(Percorso);
    for (const QString& sub : subfolders) {
        if (Annullato == 1)
            return;
        Try([&] { List2.AddItem(sub); });
        platform::DoEvents();
        Scan(sub);
    }
}

void Form1Form::Scan2(const QString& Percorso) {
    WalkScope scope(folderRun_, Percorso);
    if (!scope.Walk().Enter(Percorso))
        return;
    engine::ClearAttributes(Percorso, scope.Tree());
    const QStringList subfolders = scope.Walk().Subfolders(Percorso);
    for (const QString& sub : subfolders) {
        Try([&] { List2.AddItem(sub); });
        platform::DoEvents();
        Scan(sub);
        if (Annullato == 1)
            return;
    }
}

void Form1Form::Command3_Click() {
    const bool dropped = !CartellaRilasciata.isEmpty();
    // One run at a time: a click, key or drop that reaches the hidden window
    // while a run yields starts nothing. A dropped folder is part of the drop's
    // run: its count adds to the drop's.
    const engine::WipeRun run;
    if (!run.Started() && !dropped)
        return;
    const QString named = dropped ? CartellaRilasciata : ScegliCartella(Testi[81], this);
    const QString cartella = platform::CleanPath(named);
    // The top is held from the moment it is named: the question below can stay
    // up for long, and the run acts on the folder named, wherever its name goes.
    // A dropped folder was held when the drop came, and was a folder of a run then.
    std::optional<platform::TreeAnchor> held;
    platform::TreeAnchor* anchor = dropped ? std::exchange(AncoraRilasciata, nullptr) : nullptr;
    if (!anchor && IsFolderOfARun(named))
        anchor = &held.emplace(cartella);
    if (!anchor || !anchor->IsOpen()) {
        // A dropped folder refused keeps all it holds; the drop's end says so.
        if (dropped)
            engine::CountNotWiped();
        CartellaRilasciata.clear();
        return;
    }
    if (!dropped) {
        if (!ConfirmDestruction(platform::mb::Exclamation,
                                Testi[80] + QStringLiteral(": \"") + cartella + QLatin1Char('"')))
            return;
    }

    // The end of a run cancelled in pass 1 or 2. A dropped run leaves the flag at
    // 1: the drop handler stops on it.
    auto endCancelled = [&] {
        if (dropped) {
            CartellaRilasciata.clear();
            return;
        }
        Try([] { engine::Dialog().Unload(); });
        SetMousePointer(platform::pointer::Default);
        Show();
        Annullato = 0;
    };

    // Every name of the run is resolved beneath the folder held.
    FolderRun state;
    state.tree = anchor;
    const FolderRunScope runScope(folderRun_, &state);
    Annullato = 0;
    SetMousePointer(platform::pointer::Hourglass);
    Hide();

    // Pass 1: every file wiped, the folders listed parent first.
    if (!ListTree(*this, &Form1Form::Scan, cartella)) {
        endCancelled();
        return;
    }
    platform::DoEvents();

    // The scratch file, made anew: an old one (or whatever was put under its
    // name) is unlinked first, and only a file created here is written. Whatever
    // holds the name when the file cannot be made is not the program's: it is
    // neither written nor wiped.
    const QString scratch = platform::ProgramFolder() + platform::kSep + QStringLiteral("temp.tmp");
    Try([&] { platform::DeleteFile(scratch); });
    platform::OutputFile out;
    if (Try([&] { out.Open(scratch, platform::OutputFile::Mode::CreateNew); })) {
        Try([&] {
            for (int i = 0; i < kScratchLines; ++i) out.PrintLine(QStringLiteral("000000000"));
        });
        Try([&] { out.Close(); });
        engine::WipeFile(scratch, MetodoScelto());
        // The scratch file is the program's own: whatever becomes of it, it holds
        // no data of the user's.
        engine::UncountNotWiped(scratch);
    }

    // Pass 2: the folders listed again.
    if (!ListTree(*this, &Form1Form::Scan2, cartella)) {
        endCancelled();
        return;
    }

    // Pass 3: from the last folder back to the first, so that every folder comes
    // after the folders inside it: the files left wiped, then new names and removal.
    platform::RandomizeFromClock();
    for (int i = List2.ListCount() - 1; i >= 0; --i) {
        const QString entry = List2.List(i);
        ElencaFiles(entry);
        // The last listing of the folder: what it cannot reach keeps its data (a
        // folder that cannot be read counts as one, and so does a mount point).
        engine::CountNotWiped((state.gaps.unreadable ? 1 : 0) + state.gaps.unnamed +
                              state.gaps.mounts);
        const QString parent = entry.left(entry.lastIndexOf(platform::kSep) + 1);
        QString current = entry;
        // Once a rename fails, the new name belongs to someone else (a rename never
        // replaces): that folder is never made writable, renamed or removed.
        bool ours = true;
        for (int round = 0; round < kRenameRounds; ++round) {
            const QString name = FolderName();
            if (ours) {
                engine::ClearAttributes(current, anchor);
                ours = Try([&] { platform::RenameFolder(current, parent + name, anchor); });
            }
            platform::DoEvents();
            if (!ours)
                continue;
            current = parent + name;
            Try([&] { platform::RemoveFolder(current, anchor); });
        }
    }

    if (dropped) {
        CartellaRilasciata.clear();
        return;
    }
    const bool cancelled = Annullato == 1;
    if (!cancelled && Check1.Value() == 0) {
        Try([] {
            engine::Dialog().ImgBar.SetWidth(engine::kBarFull);
            engine::Dialog().Refresh();
        });
    }
    Try([] { engine::Dialog().Unload(); });
    if (!cancelled)
        EndOfRun(Testi[17] + QStringLiteral("     "));
    SetMousePointer(platform::pointer::Default);
    Show();
}

}  // namespace app
