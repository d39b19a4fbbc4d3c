// Runs one wipe for bench/run and prints its figures.
//   quellix_bench wipe FILE METHOD   -> seconds=<wall time of WipeFile>, max_stall_s=<the
//                                       longest time the run went without processing events>
//   quellix_bench pass FILE METHOD   -> seconds=<wall time of the method's passes alone>
//   quellix_bench fill KERNEL MIB    -> seconds=<time of MIB of random bytes in 1 MiB fills>
//   quellix_bench stream             -> random bytes as a random pass draws them, to stdout
//   quellix_bench space ROOT METHOD  -> seconds=<wall time of the free-space wipe of the
//                                       file system mounted at ROOT, cleanup included>,
//                                       max_stall_s as for wipe
//   quellix_bench tree DIR METHOD    -> seconds=<wall time of the folder wipe of DIR> (tree.cpp)
// QUELLIX_BENCH_HELPERS=n sets the number of helper threads of the random passes.
// The peak resident memory is read by bench/run from the child's rusage.
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/MainWindowLink.h"
#include "engine/ProgressWindow.h"
#include "engine/RandomFill.h"
#include "engine/Utilities.h"
#include "engine/Wipe.h"
#include "engine/WipeSpace.h"
#include "platform/Application.h"
#include "platform/Drives.h"
#include "platform/Messages.h"

namespace {

// The longest gap between two runs of a short timer on the UI thread: a timer only
// fires while events are processed, so the gap is how long the window went frozen.
class StallMeter {
  public:
    StallMeter() {
        last_ = std::chrono::steady_clock::now();
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start(5);
    }
    double MaxSeconds() {
        Tick();
        return max_;
    }

  private:
    void Tick() {
        const auto now = std::chrono::steady_clock::now();
        max_ = std::max(max_, std::chrono::duration<double>(now - last_).count());
        last_ = now;
    }
    QTimer timer_;
    std::chrono::steady_clock::time_point last_;
    double max_ = 0;
};

class BenchWindow : public engine::MainWindowLink {
  public:
    void Hide() override {}
    void SetMousePointer(int) override {}
    QString SelectedDrive() const override { return {}; }
};

// The kernels alone (KERNEL: plain, scalar, avx2, avx512, or helpers for the
// best kernel with the helper threads).
int Fill(const char* kernelName, int mib) {
    using namespace engine::random;
    std::vector<unsigned char> buffer(1 << 20);
    const bool helpers = std::strcmp(kernelName, "helpers") == 0;
    Kernel kernel = Best();
    for (Kernel k : {Kernel::Plain, Kernel::Scalar, Kernel::Avx2, Kernel::Avx512}) {
        if (std::strcmp(kernelName, NameOf(k)) == 0)
            kernel = k;
    }
    if (!Supported(kernel))
        return 2;
    RandomHelpers scope;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < mib; ++i) {
        if (helpers)
            engine::FillRandom(buffer.data(), buffer.size(), 0, 255);
        else
            FillSeeded(kernel, platform::detail::g_random, 1234.5f, buffer.data(), buffer.size(), 0,
                       255);
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("seconds=%.3f\n", took.count());
    return 0;
}

int Stream() {
    std::vector<unsigned char> buffer(1 << 20);
    for (;;) {
        engine::FillRandom(buffer.data(), buffer.size(), 0, 255);
        if (std::fwrite(buffer.data(), 1, buffer.size(), stdout) != buffer.size())
            return 0;  // the reader has had enough
    }
}

// The free-space wipe of the file system mounted at root, as the drive list shows it.
class SpaceWindow : public BenchWindow {
  public:
    SpaceWindow(QString root, int method) : root_(std::move(root)), method_(method) {}
    QString SelectedDrive() const override { return root_; }
    int MethodIndex() const override { return method_; }

  private:
    QString root_;
    int method_;
};

int Space(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::Application app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[2]);
    SpaceWindow window(root, std::atoi(argv[3]));
    engine::SetMainWindow(&window);
    platform::hooks::SetMountedVolumes(
        std::vector<platform::MountedVolume>{
            {root, QStringLiteral("bench"), QStringLiteral("ext4")}},
        root);
    (void)platform::ListDrives();
    int failures = 0;
    platform::SetMsgBoxHandler([&](const QString& prompt, int style, const QString&) {
        // The summary is the one box of a run that went well.
        if (style != platform::mb::Information) {
            std::fprintf(stderr, "box: %s\n", prompt.toLocal8Bit().constData());
            ++failures;
        }
        return 1;
    });
    engine::Drive1_Change();
    auto start = std::chrono::steady_clock::now();
    StallMeter stalls;
    engine::WipeSpace(root);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("seconds=%.3f\nmax_stall_s=%.3f\n", took.count(), stalls.MaxSeconds());
    return failures == 0 ? 0 : 1;
}

}  // namespace

int Tree(int argc, char** argv);

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "space") == 0)
        return Space(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "tree") == 0)
        return Tree(argc, argv);
    // QUELLIX_BENCH_HELPERS=n: the random passes use n helper threads.
    if (const char* helpers = std::getenv("QUELLIX_BENCH_HELPERS"))
        engine::random::RandomHelpers::SetCount(std::atoi(helpers));
    if (argc == 4 && std::strcmp(argv[1], "fill") == 0)
        return Fill(argv[2], std::atoi(argv[3]));
    if (argc == 2 && std::strcmp(argv[1], "stream") == 0)
        return Stream();
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode != "wipe" && mode != "pass") {
        std::fprintf(stderr, "usage: quellix_bench wipe|pass FILE METHOD\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::Application app(argc, argv);
    BenchWindow window;
    engine::SetMainWindow(&window);
    int boxes = 0;
    platform::SetMsgBoxHandler([&](const QString& prompt, int, const QString&) {
        std::fprintf(stderr, "box: %s\n", prompt.toLocal8Bit().constData());
        ++boxes;
        return 1;
    });
    const QString path = QString::fromLocal8Bit(argv[2]);
    const int method = std::atoi(argv[3]);
    auto start = std::chrono::steady_clock::now();
    StallMeter stalls;
    if (mode == "wipe") {
        engine::WipeFile(path, static_cast<std::int16_t>(method));
    } else {
        window.Lunghezza = QFileInfo(path).size();
        engine::WriteMethodPasses(path, method, QStringLiteral("bench"));
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("seconds=%.3f\nmax_stall_s=%.3f\n", took.count(), stalls.MaxSeconds());
    return boxes == 0 ? 0 : 1;
}
