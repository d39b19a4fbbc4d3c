#include <QApplication>

#include "app/Form1.h"
#include "app/Main.h"
#include "platform/Application.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app::Main();
    platform::hooks::SnapshotIfAsked(app::Form1());
    return platform::RunEventLoop();
}
