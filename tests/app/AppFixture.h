// The real main window, started in a program folder of the test's own with
// marked language files, a fixed locale and a fixed list of mounted volumes.
#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QString>

#include "app/Form1.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"

namespace apptest {

// Line n of a marked language file: three prefix characters, then the mark and n.
QByteArray MarkedLanguage(const QString& mark);

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Lang/<name> of marked texts: text n reads <mark><n>.
    void WriteLanguage(const QString& name, const QString& mark);
    void WriteSettings(const QByteArray& content);
    QByteArray Settings() const;
    bool SettingsExist() const;
    // Runs the start-up, as the program does.
    void StartUp();

    app::Form1Form& form() { return app::Form1(); }
    // A point of the window (menu bar included) at the centre of the control,
    // and one on the background, over no control.
    QPoint CentreOf(platform::Control& control);
    QPoint Background(int leftTwips, int topTwips);

    testsupport::TempFolder folder_;
    int ends_ = 0;
    testsupport::RunEnds runEnds_;
};

}  // namespace apptest
