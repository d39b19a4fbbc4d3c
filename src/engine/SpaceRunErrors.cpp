#include <QChar>

#include "engine/Dialog.h"
#include "engine/SpaceRun.h"
#include "lang/Testi.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Messages.h"

namespace engine {

namespace {

using lang::Testi;
using platform::RuntimeError;
using platform::Skip;
using platform::Try;
const QChar CR(13);

// The block sizes after the first to eighth disk-full error.
constexpr int kLadder[] = {4096, 2048, 1024, 512, 256, 128, 64, 1};

}  // namespace

SpaceRun::Outcome SpaceRun::Handle(const RuntimeError& e, Operation op) {
    const int n = e.Number();
    if (n == platform::err::DiskFull) {
        // A flush that finds no room means data taken as written never got its
        // blocks: a failed write, not the end of the filling.
        if (op == Operation::Flush)
            return Outcome::Fail;
        // Nothing more can go on the drive. Before the first fill file, though,
        // nothing went on it either: that is no wipe to report.
        if (op != Operation::WriteBlock)
            return created_.empty() ? Outcome::Fail : Outcome::EndFilling;
        ++discoPieno_;
        if (discoPieno_ > static_cast<int>(std::size(kLadder)))
            return Outcome::EndFilling;
        // Some file systems keep room for data not yet on the device and call the
        // drive full early; once the data is flushed that room is free again.
        if (Attempt(Operation::Flush, [&] { file_.Sync(); }) != Outcome::Next)
            return Outcome::Fail;
        blockSize_ = kLadder[discoPieno_ - 1];
        return Outcome::RestartCycle;
    }
    if (n == platform::err::BadRecordNumber) {
        // A file that takes not a byte would be followed by endless empty ones.
        const bool empty = file_.Written() == 0;
        // A file at the largest size allowed is complete: flushed like any other.
        if (!empty && Attempt(Operation::Flush, [&] { file_.Sync(); }) != Outcome::Next)
            return Outcome::Fail;
        Try<Skip::Anything>([&] { file_.Close(); });
        return empty ? Outcome::Fail : Outcome::NextFile;
    }
    if (n == platform::kInvalidPropertyValue)
        return Outcome::EndFilling;
    // A drive that fails its writes ends the run once, instead of a box per block.
    if (n == platform::err::BadFileNameOrNumber || n == platform::err::PermissionDenied ||
        n == platform::err::DeviceIoError || n == platform::err::DeviceUnavailable ||
        op == Operation::WriteBlock || op == Operation::Flush) {
        return Outcome::Fail;
    }
    platform::MsgBox(e.Description(), platform::mb::Exclamation, platform::Str(n));
    return Outcome::Next;
}

// The write-failure box, over no progress window and no running clock. Where an
// error ended the run, the box names what it struck (the work folder, the fill
// file or the drive) and what the system said, before the hint of text 31.
void SpaceRun::FailBox() {
    Try<Skip::Anything>([] { Dialog().Unload(); });
    Try<Skip::Anything>([&] { mainWindow_.SetTimerInterval(0); });
    const QString prompt = failure_
                               ? failedAt_ + QStringLiteral(": ") +
                                     platform::DescribeWithNumber(*failure_) + CR + CR + Testi[31]
                               : Testi[31];
    Try<Skip::Anything>([&] { platform::MsgBox(prompt, platform::mb::Exclamation, Testi[14]); });
}

}  // namespace engine
