// Saves a picture of the main window for looking at it:
//   main_snapshot PROGRAM_FOLDER OUT.png [VIEW]
// Starts the main window from that program folder (its settings file names the
// language and the method), waits until it is laid out and painted with its fonts,
// and saves what VIEW names:
//   window    the main window (the default)
//   drives    the main window with the drive list open
//   tip       the main window with the drive list's tooltip
//   question  the confirmation box of a file wipe over the main window
//   files     the open dialog of a file wipe over the main window
// A box or dialog is closed unanswered once it is saved (No, Cancel): nothing is
// wiped. Starts no other program.
#include <QApplication>
#include <QComboBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <cstdio>
#include <functional>

#include "app/Form1.h"
#include "app/Main.h"
#include "lang/Testi.h"
#include "platform/Application.h"
#include "platform/Messages.h"
#include "platform/ProgramFolder.h"

namespace {

// How long the window, a popup or a dialog is given to be laid out and painted.
constexpr int kSettleMs = 700;

// Saves the part of the screen that the main window and `over` (a popup, a box,
// a dialog) cover together.
bool SaveScreen(const QString& path, const QWidget* over) {
    QWidget* window = app::Form1().WindowIfLoaded();
    if (!window)
        return false;
    QRect area = window->frameGeometry();
    if (over)
        area |= over->frameGeometry();
    const QPixmap shot =
        window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    return shot.save(path, "PNG");
}

// Saves the screen once the modal box or dialog that `show` opens is painted,
// then closes it unanswered; true when the picture was saved.
bool SaveOverModal(const QString& path, const std::function<void()>& show) {
    bool saved = false;
    QTimer::singleShot(kSettleMs, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        saved = modal && SaveScreen(path, modal);
        if (modal)
            modal->close();
    });
    show();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    platform::Application application(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: main_snapshot PROGRAM_FOLDER OUT.png [VIEW]\n");
        return 2;
    }
    platform::hooks::SetProgramFolder(QString::fromLocal8Bit(argv[1]));
    const QString path = QString::fromLocal8Bit(argv[2]);
    const QString view = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("window");
    const QStringList views{QStringLiteral("window"), QStringLiteral("drives"),
                            QStringLiteral("tip"), QStringLiteral("question"),
                            QStringLiteral("files")};
    if (!views.contains(view)) {
        std::fprintf(stderr, "VIEW is one of: %s\n", qPrintable(views.join(QLatin1Char(' '))));
        return 2;
    }
    app::Main();
    auto done = [](bool saved) {
        if (!saved)
            std::fprintf(stderr, "Could not save the picture.\n");
        QApplication::exit(saved ? 0 : 1);
    };
    QTimer::singleShot(kSettleMs, [path, view, done] {
        app::Form1Form& form = app::Form1();
        auto* drives = qobject_cast<QComboBox*>(form.Drive1.WidgetIfLoaded());
        if (view == QStringLiteral("window")) {
            QWidget* window = form.WindowIfLoaded();
            done(window && window->grab().save(path, "PNG"));
        } else if (view == QStringLiteral("question")) {
            done(SaveOverModal(path, [&form] {
                form.ConfirmDestruction(platform::mb::Information, lang::Testi[14]);
            }));
        } else if (view == QStringLiteral("files")) {
            done(SaveOverModal(path, [&form] { form.GetFiles(QStringLiteral("Open")); }));
        } else if (!drives) {
            done(false);
        } else if (view == QStringLiteral("drives")) {
            drives->showPopup();
            QTimer::singleShot(kSettleMs, [path, drives, done] {
                QWidget* popup = QApplication::activePopupWidget();
                const bool saved = popup && SaveScreen(path, popup);
                drives->hidePopup();
                done(saved);
            });
        } else {
            QToolTip::showText(drives->mapToGlobal(drives->rect().bottomLeft()), drives->toolTip(),
                               drives);
            QTimer::singleShot(kSettleMs, [path, done] {
                const QWidget* tip = nullptr;
                for (const QWidget* w : QApplication::topLevelWidgets()) {
                    if (w->isVisible() && w->inherits("QTipLabel"))
                        tip = w;
                }
                done(tip && SaveScreen(path, tip));
            });
        }
    });
    return platform::RunEventLoop();
}
