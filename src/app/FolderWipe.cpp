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

namespace app {

using engine::Annullato;
using lang::Testi;
using platform::Try;

namespace {

// The rounds of new names a folder of the tree gets, and their length.
constexpr int kRenameRounds = 8;
constexpr int kFolderNameLength = 16;
constexpr int kScratchLines = 100;

// The top of the folder run in progress, held by the run; null outside a run.
platform::TreeAnchor* g_tree = nullptr;

// The walk in progress: its bounds (one mount, each folder entered once) hold
// from the top call of Scan or Scan2 to its return. A walk made outside a run
// holds its own top and resolves its names beneath it, as the run does.
platform::FolderWalk* g_walk = nullptr;

class WalkScope {
  public:
    explicit WalkScope(const QString& top) {
        if (!g_walk) {
            if (!g_tree) {
                anchor_.emplace(top);
                g_tree = &*anchor_;
            }
            own_ = std::make_unique<platform::FolderWalk>(top, g_tree);
            g_walk = own_.get();
        }
    }
    ~WalkScope() {
        if (own_)
            g_walk = nullptr;
        if (anchor_)
            g_tree = nullptr;
    }
    platform::FolderWalk& Walk() { return *g_walk; }

  private:
    std::optional<platform::TreeAnchor> anchor_;
    std::unique_ptr<platform::FolderWalk> own_;
};

// Makes the held top the run's for as long as the scope lives.
class TreeScope {
  public:
    explicit TreeScope(platform::TreeAnchor* anchor) : previous_(std::exchange(g_tree, anchor)) {}
    ~TreeScope() { g_tree = previous_; }
    TreeScope(const TreeScope&) = delete;
    TreeScope& operator=(const TreeScope&) = delete;

  private:
    platform::TreeAnchor* previous_;
};

// What the last listing of ElencaFiles could not reach.
platform::ListingGaps g_gaps;

// The folder of a run: never "", the system's root, a link (a link would lead
// the run out of the tree it names), or a path that walks through "." or "..".
bool IsFolderOfARun(const QString& folder) {
    if (folder.isEmpty() || platform::IsRootFolder(folder) || platform::HasDotNames(folder))
        return false;
    return platform::KindOf(platform::CleanPath(folder)) != platform::FileKind::Link;
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
    g_gaps = {};
    if (Annullato == 1)
        return;
    const QStringList files = platform::FolderFiles(folderOr, &g_gaps, g_tree);
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
        const platform::FileKind kind = platform::KindOf(path, g_tree);
        if (kind == platform::FileKind::Link || kind == platform::FileKind::Other) {
            // A link, fifo, socket or device is removed as an entry: never opened,
            // never followed, and its folder can go.
            Try([&] { platform::DeleteFile(path, g_tree); });
        } else {
            // Both of the attribute resets come to the same here.
            engine::ClearAttributes(path, g_tree);
            engine::WipeFile(path, MetodoScelto(), g_tree);
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
    WalkScope scope(Percorso);
    // A folder that is gone, lies on another mount or was walked already is left.
    if (!scope.Walk().Enter(Percorso))
        return;
    ElencaFiles(Percorso);
    engine::ClearAttributes(Percorso, g_tree);
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
    WalkScope scope(Percorso);
    if (!scope.Walk().Enter(Percorso))
        return;
    engine::ClearAttributes(Percorso, g_tree);
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
    // A dropped folder is part of the drop's run.
    const RunGuard run(inRun_);
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
        // A dropped folder adds to the drop's count.
        engine::ResetNotWiped();
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
    const TreeScope tree(anchor);
    Annullato = 0;
    SetMousePointer(platform::pointer::Hourglass);
    Hide();

    // Pass 1: every file wiped, the folders listed parent first.
    Try([&] {
        List2.Clear();
        List2.AddItem(cartella);
    });
    Scan(cartella);
    if (Annullato == 1) {
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
    Try([&] {
        List2.Clear();
        List2.AddItem(cartella);
    });
    Scan2(cartella);
    if (Annullato == 1) {
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
        engine::CountNotWiped((g_gaps.unreadable ? 1 : 0) + g_gaps.unnamed + g_gaps.mounts);
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
