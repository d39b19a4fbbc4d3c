// quellix_bench tree DIR METHOD -> seconds=<wall time of the folder wipe of DIR>
// The folder wipe as a click on Destroy Folder runs it: the picker and the boxes
// answered by their seams, the scratch file in a program folder of its own.
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/Form1.h"
#include "platform/Application.h"
#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "platform/ProgramFolder.h"

int Tree(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::Application app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir programFolder(QFileInfo(dir).absolutePath() + QStringLiteral("/program.XXXXXX"));
    platform::hooks::SetProgramFolder(programFolder.path());
    platform::hooks::SetFolderPickerHook([&](const QString&) { return dir; });
    int errors = 0;
    platform::SetMsgBoxHandler([&](const QString& prompt, int style, const QString&) {
        if (style == platform::mb::Exclamation) {
            std::fprintf(stderr, "box: %s\n", prompt.toLocal8Bit().constData());
            ++errors;
        }
        return platform::mb::Yes;
    });
    app::Form1Form& form = app::Form1();
    for (int i = 0; i < 9; ++i) form.Combo1.AddItem(QString::number(i));
    form.Combo1.SetListIndex(std::atoi(argv[3]));
    const auto start = std::chrono::steady_clock::now();
    form.Command3_Click();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("seconds=%.3f\n", took.count());
    return errors == 0 && !QFileInfo::exists(dir) ? 0 : 1;
}
