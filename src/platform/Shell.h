// Starting other programs: detached, without a window, their output discarded.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QProcess;

namespace platform {

struct CommandLine {
    QString program;
    QStringList arguments;
    friend bool operator==(const CommandLine&, const CommandLine&) = default;
};

// Starts the program with its arguments and returns at once, without waiting
// for it; false when it could not be started. Nothing is started for real until
// the program's entry point has called EnableStarts(): a test that forgot its
// recorder gets a refusal, never a real shutdown or browser.
bool StartDetached(const QString& program, const QStringList& arguments);
inline bool StartDetached(const CommandLine& line) {
    return StartDetached(line.program, line.arguments);
}

// Called once by the program's entry point.
void EnableStarts();

// The system's requests to switch the computer off, in the order they are made.
std::vector<CommandLine> ShutdownCommandLines();

// Opens a file or a web address with the desktop's default handler (the user's
// viewer or browser); the target is one argument, unchanged, never seen by a shell.
CommandLine OpenCommandLine(const QString& target);

namespace detail {
// What the system needs of a detached start beyond the program, its arguments and
// its streams (Windows: no console window).
void PrepareDetachedStart(QProcess& process);
}  // namespace detail

namespace hooks {
// Tests record what would have been started; the answer is StartDetached's
// result. Called on the UI thread.
using StartHook = std::function<bool(const QString& program, const QStringList& arguments)>;
void SetStartHook(StartHook hook);
}  // namespace hooks

}  // namespace platform
