// Fixtures shared by the tests: a temporary folder, a recorder that answers
// message boxes, a main-window double and a recorder of file writes.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/MainWindowLink.h"
#include "engine/Run.h"

namespace testsupport {

// A folder of the test's own, removed at the end.
class TempFolder {
  public:
    TempFolder();
    QString Path() const { return dir_.path(); }
    // The full path of a name inside the folder.
    QString File(const QString& name) const;
    QString Write(const QString& name, const QByteArray& content) const;
    QStringList Entries() const;

  private:
    QTemporaryDir dir_;
};

QByteArray ReadFile(const QString& path);

struct ShownBox {
    QString prompt;
    int style;
    QString title;
};

// Records every message box and answers it (OK, or the given answer).
class BoxRecorder {
  public:
    explicit BoxRecorder(int answer = 1);
    ~BoxRecorder();
    std::vector<ShownBox> boxes;
    int answer;
    // Runs when a box is shown, before it is answered.
    std::function<void(const ShownBox&)> onBox;
};

// The main window as the engine sees it.
class FakeMainWindow : public engine::MainWindowLink {
  public:
    FakeMainWindow();
    ~FakeMainWindow() override;
    void Hide() override {
        ++hides;
        hidden = true;
    }
    void SetMousePointer(int p) override {
        pointer = p;
        pointerSets.push_back(p);
    }
    QString SelectedDrive() const override { return drive; }

    int hides = 0;
    bool hidden = false;
    int pointer = 0;
    std::vector<int> pointerSets;
    QString drive;
};

struct RecordedWrite {
    QString path;
    std::int64_t offset;
    QByteArray data;
};

struct RecordedFlush {
    QString path;
    std::size_t afterWrites;  // how many writes had been recorded when it came
};

// Records every byte-access write and every flush that reached the device;
// clears the hooks at the end.
class WriteRecorder {
  public:
    WriteRecorder();
    ~WriteRecorder();
    std::vector<RecordedWrite> writes;
    std::vector<RecordedFlush> flushes;
};

// The image of the file after each pass, rebuilt from the writes recorded to
// `path`: a write at offset 0 starts a pass of `length` bytes. Fails the test
// unless every write lies inside a pass and each pass writes every byte exactly
// once.
std::vector<QByteArray> PassImages(const WriteRecorder& rec, const QString& path,
                                   std::int64_t length);

// What the runs that end while it lives leave not wiped: a run's count is gone
// with the run, so a test reads it here once the operation has returned.
class RunEnds {
  public:
    RunEnds() {
        engine::hooks::SetRunEndObserver([this](std::int64_t n) { notWiped_ = n; });
    }
    ~RunEnds() { engine::hooks::SetRunEndObserver(nullptr); }
    RunEnds(const RunEnds&) = delete;
    RunEnds& operator=(const RunEnds&) = delete;
    // The count of the last run that ended; 0 before any.
    std::int64_t NotWiped() const { return notWiped_; }

  private:
    std::int64_t notWiped_ = 0;
};

// Removes, when it goes, every test hook installed through it: a hook that
// refers to a test's locals (a loop's list, a case of a table) never outlives
// them, whatever runs after its scope.
class HookGuard {
  public:
    HookGuard() = default;
    ~HookGuard() { Clear(); }
    HookGuard(const HookGuard&) = delete;
    HookGuard& operator=(const HookGuard&) = delete;

    // Installs the hook through its setter (platform::hooks::SetFaultInjector,
    // platform::SetYieldHook, ...); the setter gets an empty value at the end.
    template <typename Hook, typename Value>
    void Set(void (*setter)(Hook), Value&& hook) {
        using Stored = std::remove_cvref_t<Hook>;
        setter(Stored(std::forward<Value>(hook)));
        undo_.push_back([setter] { setter(Stored{}); });
    }
    // For a hook with a setter of its own shape: runs `remove` at the end.
    void OnEnd(std::function<void()> remove) { undo_.push_back(std::move(remove)); }
    // Removes the hooks now, the last installed first.
    void Clear() {
        while (!undo_.empty()) {
            const std::function<void()> remove = std::move(undo_.back());
            undo_.pop_back();
            remove();
        }
    }

  private:
    std::vector<std::function<void()>> undo_;
};

// Removes every test hook of the libraries without windows and clears the
// run's latches (the cancel flag, the files kept): the test mains call it after
// each test, so a test run in the same process as others starts fresh.
void ResetCoreHooks();
// Has the test main call `reset` after every test.
void ResetAfterEachTest(void (*reset)());

// Runs the current test again in a child process of an ordinary user (nobody),
// for cases that root's disregard of permissions would hide. Returns the child's
// exit status (0 when the test passed there), or -1 with a reason when no such
// child can be started.
int RerunAsOrdinaryUser(std::string* reason);
// True when the process is root (permission checks do not apply).
bool RunningAsRoot();

// The rest reaches the progress window (EngineSupport.cpp): only the tests that
// link the windows have it.

// Resets the process-wide state an engine test may have changed: the latches,
// the file hooks, the progress window.
void ResetEngineState();
// Removes every test hook, those of the widget side too, clears the latches and
// closes the progress window: the test main calls it after each test.
void ResetAllHooks();

// Fills the text table with marked texts: entry n reads "T<n>".
void FillMarkedTexts();

// The one box a cancelled wipe shows (its notice, in marked texts), with the
// progress window closed.
void ExpectCancelNotice(const BoxRecorder& boxes);

// A test of the engine: it starts from fresh process-wide state and marked
// texts, and leaves the state fresh for the next.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEngineState();
        FillMarkedTexts();
    }
    void TearDown() override { ResetEngineState(); }
};

}  // namespace testsupport
