// Runs one wipe for bench/run and prints its figures.
//   quellix_bench wipe FILE METHOD   -> seconds=<wall time of WipeFile>
//   quellix_bench pass FILE METHOD   -> seconds=<wall time of the method's passes alone>
// The peak resident memory is read by bench/run from the child's rusage.
#include <QApplication>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "engine/MainWindowLink.h"
#include "engine/Wipe.h"
#include "platform/Messages.h"

namespace {

class BenchWindow : public engine::MainWindowLink {
  public:
    void Hide() override {}
    void SetMousePointer(int) override {}
    QString SelectedDrive() const override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode != "wipe" && mode != "pass") {
        std::fprintf(stderr, "usage: quellix_bench wipe|pass FILE METHOD\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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
    if (mode == "wipe") {
        engine::WipeFile(path, static_cast<std::int16_t>(method));
    } else {
        window.Lunghezza = QFileInfo(path).size();
        engine::WriteMethodPasses(path, method, QStringLiteral("bench"));
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("seconds=%.3f\n", took.count());
    return boxes == 0 ? 0 : 1;
}
