// The free-space run: one object from the start of a run to its end. WipeSpace.cpp
// fills and empties the drive; SpaceRunErrors.cpp says what follows an error and
// shows the failure box.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "engine/MainWindowLink.h"
#include "engine/Wipe.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/FillFiles.h"

namespace engine {

constexpr int kFirstBlock = 1024000;

// A cycle of a fill file is one block of each pass of the method, in the order
// the method's passes run over a file; a block holds what a pass of that kind
// writes.
using Block = PassKind;

class SpaceRun {
  public:
    explicit SpaceRun(const QString& drive)
        : mainWindow_(MainWindow()), drive_(drive), dummy_(QString(24, QLatin1Char('Z'))) {}

    void Run();

  private:
    // What follows an operation, after the error handling has had its say.
    enum class Outcome { Next, RestartCycle, NextFile, EndFilling, Fail };
    // What the operation was: the error handling depends on it. Create makes the
    // work folder or a fill file.
    enum class Operation { WriteBlock, Flush, Create, Other };

    // Runs the operation; its run-time error goes to Handle, which says what follows.
    template <typename Step>
    Outcome Attempt(Operation op, Step&& step) {
        try {
            step();
            return Outcome::Next;
        } catch (const platform::RuntimeError& e) {
            const Outcome o = Handle(e, op);
            // The first error that ends the run is the one its box tells.
            if (o == Outcome::Fail && !failure_) {
                failure_ = e;
                failedAt_ = acting_;
            }
            return o;
        }
    }
    Outcome Handle(const platform::RuntimeError& e, Operation op);
    Outcome Fill();
    Outcome StartFile();
    Outcome Cycle();
    bool OpenRoot();
    bool EndFilling();
    void Cleanup();
    void Report();
    void FailBox();
    QString WrittenLine(std::int64_t written) const;
    std::int64_t FreeKb() const { return mainWindow_.Totale.tenThousandths; }
    static QString FillName(std::int64_t k) {
        return QStringLiteral("zzzzzzz.z") + platform::TrimStr(k);
    }

    MainWindowLink& mainWindow_;
    const QString drive_;
    const QString dummy_;
    // What the step under way acts on (the work folder, a fill file, the drive),
    // and the error that ended the run, with where it happened.
    QString acting_;
    std::optional<platform::RuntimeError> failure_;
    QString failedAt_;
    // The drive's root and the work folder QX in it, each opened once: every later
    // step goes through them, so a folder renamed, swapped for a link or covered by
    // a mount during the run changes nothing of what the run fills and removes.
    platform::HeldFolder root_;
    platform::HeldFolder qx_;
    int metodo_ = 0;
    int blockSize_ = kFirstBlock;
    int discoPieno_ = 0;
    std::int64_t numeroFile_ = 0;
    bool madeFolder_ = false;
    // The fill files this run made: their numbers, and what each name led to.
    std::vector<std::pair<std::int64_t, platform::FileIdentity>> created_;
    platform::FillFile file_;
    // Free space the file system still counted with the drive full: no write of
    // this run could reach it (reserves kept from every writer or from this user).
    std::uint64_t keptBack_ = 0;
};

}  // namespace engine
