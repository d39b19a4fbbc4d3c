// A run: one file, folder, drop or free-space wipe from its start to its end.
// It owns what only that run knows (whether it was told to stop, and which of
// its files still hold their data), so nothing of a run outlives it, and while
// one lives no other can start.
#pragma once

#include <QSet>
#include <QString>
#include <cstdint>
#include <functional>

namespace engine {

class WipeRun;

// 1 when the current run was told to stop (or the 35-pass method failed), else
// 0. The flag is the current run's; a wipe or a progress window used outside
// any run has a flag of its own, which also keeps what the last run ended with,
// for the code that reads it once the run is over.
class CancelFlag {
  public:
    CancelFlag& operator=(std::int16_t value);
    operator std::int16_t() const;  // NOLINT(google-explicit-constructor): used as the number
};
extern CancelFlag Annullato;

class WipeRun {
  public:
    // Becomes the current run, unless another one lives: then it is not
    // started, holds nothing and changes nothing.
    WipeRun();
    ~WipeRun();
    WipeRun(const WipeRun&) = delete;
    WipeRun& operator=(const WipeRun&) = delete;

    bool Started() const { return started_; }
    // The run that lives now; null between runs.
    static WipeRun* Current();

    // Files of the run that no later try of it reaches.
    void CountNotWiped(std::int64_t n) { notWiped_ += n; }
    // The file under this name kept its data. A name is counted once however
    // often the run tries it (each pass of a folder wipe does), and leaves the
    // count when a later try wipes it.
    void CountNotWiped(const QString& path) { notWipedNames_.insert(path); }
    void UncountNotWiped(const QString& path) { notWipedNames_.remove(path); }
    // The files that still hold their data: what the completion message tells.
    std::int64_t NotWiped() const { return notWiped_ + notWipedNames_.size(); }

  private:
    friend class CancelFlag;
    bool started_ = false;
    std::int16_t annullato_ = 0;
    std::int64_t notWiped_ = 0;
    QSet<QString> notWipedNames_;
};

// The same on the current run; nothing outside a run.
void CountNotWiped(std::int64_t n = 1);
void CountNotWiped(const QString& path);
void UncountNotWiped(const QString& path);

namespace hooks {
// Tests read what a run ended with: called on the UI thread as a started run
// ends, with its count of files not wiped. Null removes it.
void SetRunEndObserver(std::function<void(std::int64_t notWiped)> observer);
}  // namespace hooks

}  // namespace engine
