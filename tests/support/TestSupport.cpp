#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/RandomFill.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Clock.h"
#include "platform/Drives.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/FreeSpace.h"
#include "platform/Locale.h"
#include "platform/Messages.h"
#include "platform/Monotonic.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"

namespace testsupport {

TempFolder::TempFolder() {
    EXPECT_TRUE(dir_.isValid());
}

QString TempFolder::File(const QString& name) const {
    return dir_.filePath(name);
}

QString TempFolder::Write(const QString& name, const QByteArray& content) const {
    QString path = File(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    EXPECT_EQ(f.write(content), content.size());
    return path;
}

QStringList TempFolder::Entries() const {
    return QDir(dir_.path())
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

BoxRecorder::BoxRecorder(int a) : answer(a) {
    platform::SetMsgBoxHandler([this](const QString& p, int s, const QString& t) {
        boxes.push_back({p, s, t});
        if (onBox)
            onBox(boxes.back());
        return answer;
    });
}

BoxRecorder::~BoxRecorder() {
    platform::SetMsgBoxHandler(nullptr);
}

FakeMainWindow::FakeMainWindow() {
    engine::SetMainWindow(this);
}

FakeMainWindow::~FakeMainWindow() {
    engine::SetMainWindow(nullptr);
}

WriteRecorder::WriteRecorder() {
    platform::hooks::SetWriteObserver([this](const QString& path, std::int64_t offset,
                                             const unsigned char* data, std::size_t size) {
        writes.push_back(
            {path, offset,
             QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))});
    });
    platform::hooks::SetSyncObserver([this](const QString& path) {
        flushes.push_back({path, writes.size()});
    });
}

WriteRecorder::~WriteRecorder() {
    platform::hooks::SetWriteObserver(nullptr);
    platform::hooks::SetSyncObserver(nullptr);
}

std::vector<QByteArray> PassImages(const WriteRecorder& rec, const QString& path,
                                   std::int64_t length) {
    std::vector<QByteArray> passes;
    std::vector<std::vector<int>> counts;  // how often each byte was written
    for (const auto& w : rec.writes) {
        if (w.path != path)
            continue;
        if (w.offset == 0) {
            passes.emplace_back(length, '\0');
            counts.emplace_back(length, 0);
        }
        if (passes.empty() || w.offset + w.data.size() > length) {
            ADD_FAILURE() << "a write at " << w.offset << " outside a pass";
            continue;
        }
        passes.back().replace(w.offset, w.data.size(), w.data);
        for (std::int64_t i = w.offset; i < w.offset + w.data.size(); ++i) ++counts.back()[i];
    }
    for (std::size_t k = 0; k < counts.size(); ++k) {
        for (std::int64_t i = 0; i < length; ++i) {
            if (counts[k][i] != 1) {
                ADD_FAILURE() << "pass " << k + 1 << " wrote byte " << i << " " << counts[k][i]
                              << " times";
                break;
            }
        }
    }
    return passes;
}

void ResetCoreHooks() {
    engine::Annullato = 0;
    engine::hooks::SetRunEndObserver(nullptr);
    platform::SetYieldHook(nullptr);
    platform::SetMsgBoxHandler(nullptr);
    platform::SetClockHook(nullptr);
    platform::hooks::SetMonotonicClock(nullptr);
    platform::hooks::SetFaultInjector(nullptr);
    platform::hooks::SetWriteObserver(nullptr);
    platform::hooks::SetSyncObserver(nullptr);
    platform::hooks::SetWritebackObserver(nullptr);
    platform::hooks::SetWritebackWindow(0);
    platform::hooks::SetStepwiseResolution(false);
    platform::hooks::SetFreeSpaceQuery(nullptr);
    platform::hooks::SetMountedVolumes(std::nullopt);
    platform::hooks::SetUserLocale(std::nullopt);
    platform::hooks::SetProgramFolder(QString());
    platform::hooks::SetStartHook(nullptr);
    engine::random::hooks::SetHelperHook(nullptr);
    engine::random::hooks::SetReadyHook(nullptr);
}

namespace {
class ResetAfterEach : public ::testing::EmptyTestEventListener {
  public:
    explicit ResetAfterEach(void (*reset)()) : reset_(reset) {}
    void OnTestEnd(const ::testing::TestInfo&) override { reset_(); }

  private:
    void (*reset_)();
};
}  // namespace

void ResetAfterEachTest(void (*reset)()) {
    // The listeners own what they are given.
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetAfterEach(reset));
}

bool RunningAsRoot() {
    return geteuid() == 0;
}

int RerunAsOrdinaryUser(std::string* reason) {
    const passwd* nobody = getpwnam("nobody");
    if (!nobody) {
        *reason = "there is no user 'nobody' to run the case without root";
        return -1;
    }
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string filter =
        std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
        *reason = "the test program cannot find itself to run again";
        return -1;
    }
    exe[n] = 0;
    pid_t pid = fork();
    if (pid < 0) {
        *reason = "fork failed";
        return -1;
    }
    if (pid == 0) {
        if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
            _exit(97);
        setenv("TMPDIR", "/tmp", 1);
        setenv("XDG_RUNTIME_DIR", "/tmp", 1);
        execl(exe, exe, filter.c_str(), "--gtest_brief=1", static_cast<char*>(nullptr));
        _exit(98);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && (WEXITSTATUS(status) == 97 || WEXITSTATUS(status) == 98)) {
        *reason = "the child could not drop root or start again";
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

void FillMarkedTexts() {
    for (int i = 1; i < lang::kTextCount; ++i) {
        lang::Testi[i] = QStringLiteral("T%1").arg(i);
    }
}

}  // namespace testsupport
