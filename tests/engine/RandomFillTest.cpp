// The bulk random bytes: every kernel gives the bytes of RandomNumber's calls, and
// random passes look uniform.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "engine/Dialog.h"
#include "engine/MainWindowLink.h"
#include "engine/ProgressWindow.h"
#include "engine/RandomFill.h"
#include "engine/Wipe.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "support/TestSupport.h"

using namespace testsupport;
using engine::random::Kernel;
using platform::detail::RandomState;

namespace {

bool operator==(const RandomState& a, const RandomState& b) {
    return a.counter == b.counter && a.key == b.key;
}

struct Range {
    std::int32_t lo, hi;
};
constexpr Range kRanges[] = {{0, 255}, {48, 57}, {7, 7}, {1, 256}, {-3, 300}, {0, 99999}};

std::vector<std::size_t> Lengths() {
    std::vector<std::size_t> n;
    for (std::size_t i = 0; i <= 200; ++i) n.push_back(i);
    for (std::size_t i : {255u, 256u, 257u, 511u, 1000u, 4095u, 4096u, 4097u, 65536u + 13u})
        n.push_back(i);
    return n;
}

TEST(RandomKernels, GiveThePlainBytesAndState) {
    const RandomState starts[] = {{}, {~0ull, 1}, {0x0123456789ABCDEFull, 0xFEDCBA9876543210ull}};
    const float seeds[] = {0.0f, 13.0f * 45296.7f, 13.0f * 86399.99f};
    const auto lengths = Lengths();
    int checked = 0;
    for (Kernel kernel : {Kernel::Scalar, Kernel::Avx2, Kernel::Avx512}) {
        if (!engine::random::Supported(kernel)) {
            std::printf("kernel %s: not on this processor\n", engine::random::NameOf(kernel));
            continue;
        }
        SCOPED_TRACE(engine::random::NameOf(kernel));
        for (const Range& r : kRanges) {
            for (std::size_t n : lengths) {
                for (const RandomState& start : starts) {
                    const float seed = seeds[(n + r.lo) % 3];
                    std::vector<unsigned char> want(n + 1, 0xA5), got(n + 1, 0x5A);
                    RandomState plain = start, fast = start;
                    engine::random::FillSeeded(Kernel::Plain, plain, seed, want.data(), n, r.lo,
                                               r.hi);
                    engine::random::FillSeeded(kernel, fast, seed, got.data(), n, r.lo, r.hi);
                    ASSERT_TRUE(std::equal(want.begin(), want.begin() + n, got.begin()))
                        << r.lo << ".." << r.hi << ", " << n << " bytes";
                    ASSERT_EQ(got[n], 0x5A) << "nothing written past the end, " << n << " bytes";
                    ASSERT_TRUE(fast == plain) << r.lo << ".." << r.hi << ", " << n << " bytes";
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 0);
}

// The clock as the tests set it: standing at `g_clock`, or stepping on by a
// tick at every reading; readings are counted.
std::atomic<float> g_clock{45296.75f};
std::atomic<int> g_clockReads{0};
std::atomic<bool> g_clockSteps{false};
float TestClock() {
    ++g_clockReads;
    if (g_clockSteps)
        return g_clock = g_clock + 0.015625f;
    return g_clock;
}

class ClockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetEngineState();
        g_clockSteps = false;
        g_clockReads = 0;
        platform::SetClockHook(TestClock);
    }
    void TearDown() override {
        platform::SetClockHook(nullptr);
        engine::random::hooks::SetHelperHook(nullptr);
        engine::random::RandomHelpers::SetCount(-1);
        ResetEngineState();
    }
};

std::vector<unsigned char> ByCalls(std::size_t n, std::int32_t lo, std::int32_t hi) {
    std::vector<unsigned char> out(n);
    for (auto& b : out) b = static_cast<unsigned char>(engine::RandomNumber(lo, hi));
    return out;
}

std::vector<unsigned char> ByFill(std::size_t n, std::int32_t lo, std::int32_t hi) {
    std::vector<unsigned char> out(n);
    engine::FillRandom(out.data(), n, lo, hi);
    return out;
}

TEST_F(ClockTest, FillRandomGivesTheBytesOfRandomNumberCalls) {
    for (const Range& r : {kRanges[0], kRanges[1], kRanges[2]}) {
        for (std::size_t n : {1u, 999u, 4095u, 4096u, 20000u, 100003u}) {
            SCOPED_TRACE(testing::Message() << r.lo << ".." << r.hi << ", " << n << " bytes");
            g_clock = g_clock + 1.0f;
            const RandomState start = platform::detail::g_random;
            const auto calls = ByCalls(n, r.lo, r.hi);
            const RandomState afterCalls = platform::detail::g_random;
            platform::detail::g_random = start;
            EXPECT_EQ(ByFill(n, r.lo, r.hi), calls);
            EXPECT_TRUE(platform::detail::g_random == afterCalls) << "the same state afterwards";
        }
    }
}

TEST_F(ClockTest, FillRandomReadsTheClockOncePerBlock) {
    g_clockSteps = true;
    for (int helpers : {0, 2}) {
        SCOPED_TRACE(testing::Message() << helpers << " helpers");
        engine::random::RandomHelpers::SetCount(helpers);
        engine::random::RandomHelpers scope;
        g_clockReads = 0;
        const auto bytes = ByFill(1 << 20, 0, 255);
        if (helpers == 0) {
            EXPECT_EQ(g_clockReads, int((1 << 20) / engine::random::kClockBlock));
        } else {
            // The helpers claim blocks of 64 KiB, each with one reading, and run
            // ahead of the fill by at most their ring of 128 blocks.
            constexpr int kHelperBlocks = (1 << 20) / (64 * 1024);
            EXPECT_GE(g_clockReads, kHelperBlocks);
            EXPECT_LE(g_clockReads, kHelperBlocks + 128);
        }
    }
}

// A pass's bytes with helper threads: the pieces come through RandomView where the
// helpers are ahead and FillRandom otherwise, and must be the bytes and leave the
// state of FillRandom alone. Between pieces something else may draw.
TEST_F(ClockTest, HelperThreadsGiveTheSameBytesAndState) {
    struct Step {
        std::size_t n;
        std::int32_t lo, hi;
        bool pause;      // wait until the helpers are ahead
        bool drawAfter;  // something else draws before the next piece
    };
    const std::vector<Step> steps = {
        {1 << 20, 0, 255, false, false}, {333333, 0, 255, true, false},
        {1 << 20, 0, 255, true, false},  {65536, 0, 255, true, true},
        {5000000, 0, 255, true, false},  {1048577, 48, 57, true, false},
        {1048576, 48, 57, true, false},  {7, 48, 57, false, false},
        {3 << 20, 48, 57, true, false},
    };
    // What the helpers last said stands ready ahead of the pass, and what the pass
    // has read since. A report comes under the helpers' lock, so a read counted
    // after a report it preceded only makes the estimate lower.
    std::mutex mutex;
    std::condition_variable readied;
    std::size_t readyAhead = 0, readSince = 0;
    HookGuard hooks;
    hooks.Set(engine::random::hooks::SetReadyHook, [&](std::size_t ahead) {
        {
            const std::lock_guard lock(mutex);
            readyAhead = ahead;
            readSince = 0;
        }
        readied.notify_all();
    });
    auto run = [&](int helpers, int* views) {
        {
            const std::lock_guard lock(mutex);
            readyAhead = readSince = 0;
        }
        engine::random::RandomHelpers::SetCount(helpers);
        std::optional<engine::random::RandomHelpers> scope;
        if (helpers > 0)
            scope.emplace();
        std::vector<unsigned char> all;
        for (const Step& s : steps) {
            if (s.pause && helpers > 0) {
                // Well past the piece's first read of 1 MiB at most; helpers rest
                // only when more than that is ready.
                std::unique_lock lock(mutex);
                EXPECT_TRUE(readied.wait_for(lock, std::chrono::seconds(30), [&] {
                    return readyAhead >= readSince + (2u << 20);
                })) << "the helpers never got ahead";
            }
            std::vector<unsigned char> piece(s.n);
            // As the pass writers do: up to 1 MiB at a time.
            for (std::size_t at = 0; at < s.n; at += 1 << 20) {
                const std::size_t m = std::min<std::size_t>(1 << 20, s.n - at);
                if (const unsigned char* ready = engine::random::RandomView(m, s.lo, s.hi)) {
                    std::copy(ready, ready + m, piece.begin() + at);
                    ++*views;
                } else {
                    engine::FillRandom(piece.data() + at, m, s.lo, s.hi);
                }
                const std::lock_guard lock(mutex);
                readSince += m;
            }
            all.insert(all.end(), piece.begin(), piece.end());
            if (s.drawAfter)
                all.push_back(static_cast<unsigned char>(platform::Rnd() * 256));
        }
        return all;
    };
    const RandomState start = platform::detail::g_random;
    int views = 0;
    const auto alone = run(0, &views);
    const RandomState end = platform::detail::g_random;
    for (int helpers : {1, 3}) {
        SCOPED_TRACE(testing::Message() << helpers << " helpers");
        platform::detail::g_random = start;
        int helped = 0;
        EXPECT_TRUE(run(helpers, &helped) == alone);
        EXPECT_TRUE(platform::detail::g_random == end);
        EXPECT_GT(helped, 0) << "some pieces were written from the helpers' ring";
    }
}

// A helper made slow on purpose: the block it holds is claimed but its bytes are
// not computed yet. The pass must compute that block itself rather than take
// what the ring holds, and the bytes stay those of a pass without helpers.
TEST_F(ClockTest, ABlockAHelperIsStillComputingIsNotTakenFromTheRing) {
    constexpr std::size_t kBlock = 64 * 1024;
    engine::random::RandomHelpers::SetCount(0);
    const RandomState start = platform::detail::g_random;
    const auto alone = ByFill(3 * kBlock, 0, 255);

    std::mutex m;
    std::condition_variable cv;
    bool inside = false, release = false;
    engine::random::hooks::SetHelperHook([&](std::uint64_t block) {
        if (block == 0)
            return;
        std::unique_lock lock(m);
        inside = true;
        cv.notify_all();
        cv.wait(lock, [&] { return release; });
    });
    const auto letGo = [&] {
        std::lock_guard lock(m);
        release = true;
        cv.notify_all();
    };
    platform::detail::g_random = start;
    std::vector<unsigned char> helped(3 * kBlock);
    {
        engine::random::RandomHelpers::SetCount(1);
        engine::random::RandomHelpers scope;
        // The first block starts the helper; it then holds the second one.
        engine::FillRandom(helped.data(), kBlock, 0, 255);
        bool held;
        {
            std::unique_lock lock(m);
            held = cv.wait_for(lock, std::chrono::seconds(30), [&] { return inside; });
        }
        if (held) {
            if (const unsigned char* ready = engine::random::RandomView(kBlock, 0, 255))
                std::copy(ready, ready + kBlock, helped.begin() + kBlock);
            else
                engine::FillRandom(helped.data() + kBlock, kBlock, 0, 255);
        }
        letGo();
        ASSERT_TRUE(held) << "the helper never took the second block";
        engine::FillRandom(helped.data() + 2 * kBlock, kBlock, 0, 255);
    }
    EXPECT_TRUE(helped == alone);
}

// The helper threads of this process, by the names the system lists.
int ThreadCount() {
    int helpers = 0;
    const QString tasks = QStringLiteral("/proc/self/task/");
    for (const QString& t : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks + t + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly) &&
            comm.readAll().trimmed() == engine::random::kHelperThreadName)
            ++helpers;
    }
    return helpers;
}

class HelperLifetimeTest : public ClockTest {
  protected:
    void SetUp() override {
        ClockTest::SetUp();
        FillMarkedTexts();
        if (!QDir(QStringLiteral("/proc/self/task")).exists())
            GTEST_SKIP() << "no /proc/self/task to count the threads";
        engine::random::RandomHelpers::SetCount(2);
    }
    TempFolder folder;
    FakeMainWindow form1;
};

// Helpers run during a large random pass and none is left afterwards, whether the
// pass ends, is cancelled or the 35-pass method is cancelled.
TEST_F(HelperLifetimeTest, NoHelperOutlivesItsPass) {
    struct Case {
        int method;
        qint64 length;
        int probeAtYield;   // a yield while a random pass runs
        int cancelAtYield;  // 0: never
    };
    const Case cases[] = {{2, 16 << 20, 3, 0}, {2, 16 << 20, 3, 10}, {8, 2 << 20, 3, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "method " << c.method << ", cancel at " << c.cancelAtYield);
        engine::Annullato = 0;
        QString path = folder.Write(QStringLiteral("h.bin"), QByteArray(c.length, 'x'));
        BoxRecorder boxes;
        int yields = 0, most = 0;
        platform::SetYieldHook([&] {
            ++yields;
            if (yields == c.probeAtYield) {
                // A thread names itself once it runs: give a busy machine time.
                for (int i = 0; i < 400 && ThreadCount() == 0; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            most = std::max(most, ThreadCount());
            if (yields == c.cancelAtYield) {
                QWidget* button = engine::Dialog().CancelButton.Widget();
                qobject_cast<QAbstractButton*>(button)->click();
            }
        });
        engine::WipeFile(path, static_cast<std::int16_t>(c.method));
        platform::SetYieldHook(nullptr);
        EXPECT_GE(most, 1) << "helpers ran during the pass";
        EXPECT_LE(most, 2);
        // A joined thread leaves /proc/self/task a moment after its join returns.
        for (int i = 0; i < 400 && ThreadCount() != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(ThreadCount(), 0) << "no helper is left";
        EXPECT_EQ(QFileInfo::exists(path), c.cancelAtYield != 0);
        engine::Dialog().Unload();
    }
}

// Pearson's chi-square of a byte histogram over the values lo..hi.
double ChiSquare(const QByteArray& data, int lo, int hi) {
    std::array<double, 256> count{};
    for (char c : data) count[static_cast<unsigned char>(c)] += 1;
    const double expected = static_cast<double>(data.size()) / (hi - lo + 1);
    double chi = 0;
    for (int v = 0; v < 256; ++v) {
        if (v < lo || v > hi) {
            EXPECT_EQ(count[v], 0) << "the value " << v << " is out of range";
            continue;
        }
        chi += (count[v] - expected) * (count[v] - expected) / expected;
    }
    return chi;
}

class RandomPassTest : public EngineTest {
  protected:
    TempFolder folder;
    FakeMainWindow form1;
};

// A 16 MiB random pass and a random-digit pass, read back from the file: their
// histograms pass a chi-square test at the 0.001 level (a sound generator fails
// it once in a thousand runs).
TEST_F(RandomPassTest, HistogramsAreUniform) {
    struct Case {
        int method;  // its last pass is the one read back
        int lo, hi;
        double critical;  // chi-square at 0.999 for hi - lo degrees of freedom
    };
    const Case cases[] = {{2, 0, 255, 330.52}, {7, 48, 57, 27.877}};
    const qint64 length = 16 << 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        QString path = folder.Write(QStringLiteral("r.bin"), QByteArray(length, 'x'));
        engine::MainWindow().Lunghezza = length;
        ASSERT_EQ(engine::WriteMethodPasses(path, c.method, QStringLiteral("r.bin...")),
                  engine::PassesEnd::Written);
        const QByteArray data = ReadFile(path);
        ASSERT_EQ(data.size(), length);
        EXPECT_LT(ChiSquare(data, c.lo, c.hi), c.critical);
    }
}

}  // namespace
