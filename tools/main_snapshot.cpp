// Saves a picture of the main window for looking at it:
//   main_snapshot PROGRAM_FOLDER OUT.png
// Starts the main window from that program folder (its settings file names the
// language and the method), waits until it is laid out and painted with its fonts,
// and saves its window. Starts no other program.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/Form1.h"
#include "app/Main.h"
#include "platform/Application.h"
#include "platform/ProgramFolder.h"

int main(int argc, char** argv) {
    platform::Application application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: main_snapshot PROGRAM_FOLDER OUT.png\n");
        return 2;
    }
    platform::hooks::SetProgramFolder(QString::fromLocal8Bit(argv[1]));
    const QString path = QString::fromLocal8Bit(argv[2]);
    app::Main();
    QTimer::singleShot(700, [path] {
        QWidget* window = app::Form1().WindowIfLoaded();
        const bool saved = window && window->grab().save(path, "PNG");
        if (!saved)
            std::fprintf(stderr, "Could not save the window's picture.\n");
        QApplication::exit(saved ? 0 : 1);
    });
    return platform::RunEventLoop();
}
