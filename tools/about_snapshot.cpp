// Saves pictures of the about box for looking at it:
//   about_snapshot PROGRAM_FOLDER OUT_PREFIX
// Starts the main window from that program folder (its settings file names the
// language), opens the about box and saves OUT_PREFIX-start.png, -top.png and
// -pause.png: the panel at its start, at the top of the viewport, and resting
// with its bottom edge at the viewport's. Starts no other program.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/Form1.h"
#include "app/Main.h"
#include "app/frmAbout.h"
#include "platform/Application.h"
#include "platform/ProgramFolder.h"

int main(int argc, char** argv) {
    platform::Application application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: about_snapshot PROGRAM_FOLDER OUT_PREFIX\n");
        return 2;
    }
    platform::hooks::SetProgramFolder(QString::fromLocal8Bit(argv[1]));
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    app::Main();
    app::Form1().mnuInfo_Click();
    auto& about = app::frmAbout();
    about.Timer1.SetInterval(0);
    int failures = 0;
    QTimer::singleShot(700, [&] {
        const struct {
            const char* name;
            int top;
        } poses[] = {{"start", 2200}, {"top", 0}, {"pause", -1920}};
        for (const auto& pose : poses) {
            about.Picture2.SetTop(pose.top);
            QApplication::processEvents();
            const QString path = prefix + QLatin1Char('-') + QLatin1String(pose.name) + ".png";
            if (!about.Window()->grab().save(path, "PNG")) {
                std::fprintf(stderr, "Could not save %s\n", qPrintable(path));
                ++failures;
            } else {
                std::printf("Saved %s\n", qPrintable(path));
            }
        }
        QApplication::exit(failures == 0 ? 0 : 1);
    });
    return QApplication::exec();
}
