#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::fprintf(stderr, "Quellix: the main window is not built yet; only the wipe engine and its "
                         "tests exist so far.\n");
    return 1;
}
