// The toolkit's own texts (a box's buttons, the open dialog's labels) come in
// the language of the user's locale, as the program finds it at start-up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

#include "platform/FileDialogs.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

namespace {

// Set in the child that this test starts in the locale of a case.
constexpr char kChildMark[] = "QUELLIX_TOOLKIT_LANGUAGE_CHILD";
const QString kLinePrefix = QStringLiteral("toolkit texts: ");

// A caption as the user reads it: the access key's "&" is not shown.
QString Shown(const QString& caption) {
    QString shown = caption;
    return shown.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// In the child: shows the real Yes/No box and the real open dialog and prints
// what their buttons and the file name's label read.
void PrintToolkitTexts() {
    QString yes, no, open, cancel, fileName;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        yes = Shown(box->button(QMessageBox::Yes)->text());
        no = Shown(box->button(QMessageBox::No)->text());
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(platform::MsgBox(QStringLiteral("?"), platform::mb::YesNo + platform::mb::Question,
                               QStringLiteral("Quellix")),
              platform::mb::No);

    testsupport::TempFolder folder;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        auto* label = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"));
        ASSERT_TRUE(buttons && label);
        open = Shown(buttons->button(QDialogButtonBox::Open)->text());
        cancel = Shown(buttons->button(QDialogButtonBox::Cancel)->text());
        fileName = Shown(label->text());
        dialog->reject();
    });
    platform::OpenDialogRequest request;
    request.title = QStringLiteral("Quellix");
    request.folder = folder.Path();
    platform::ShowOpenDialog(request);

    const QString line = kLinePrefix + QStringList{yes, no, open, cancel, fileName}.join('|');
    std::printf("%s\n", line.toUtf8().constData());
}

// Starts this test again with only LANG naming the locale; what it printed.
QString ToolkitTextsIn(const QString& lang) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) env.remove(name);
    env.insert(QStringLiteral("LANG"), lang);
    env.insert(QString::fromLatin1(kChildMark), QStringLiteral("1"));
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--gtest_filter=%1.%2")
             .arg(QString::fromUtf8(info->test_suite_name()), QString::fromUtf8(info->name()))});
    if (!child.waitForFinished(60000))
        child.kill();
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        if (line.startsWith(kLinePrefix))
            return line.mid(kLinePrefix.size());
    }
    ADD_FAILURE() << "the child printed no texts:\n" << output.toStdString();
    return {};
}

TEST(ToolkitLanguage, BoxesAndDialogsSpeakTheLanguageOfTheLocale) {
    if (qEnvironmentVariableIsSet(kChildMark)) {
        PrintToolkitTexts();
        return;
    }
    struct Case {
        const char* lang;
        const char* texts;  // Yes, No, Open, Cancel, the file name's label
    };
    const Case cases[] = {
        {"it_IT.UTF-8", "Sì|No|Apri|Annulla|Nome del file:"},
        {"ru_RU.UTF-8", "Да|Нет|Открыть|Отмена|Имя файла:"},
        // No translation for the C locale: English.
        {"C.UTF-8", "Yes|No|Open|Cancel|File name:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lang);
        EXPECT_EQ(ToolkitTextsIn(QString::fromLatin1(c.lang)).toStdString(), c.texts)
            << "are Qt's translations (qt6-translations-l10n) installed?";
    }
}

}  // namespace
