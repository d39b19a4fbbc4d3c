// A program folder of the test's own, with an empty Lang folder, and a text
// table that starts empty.
#pragma once

#include <gtest/gtest.h>

#include <QDir>

#include "lang/Testi.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"
#include "support/TestSupport.h"

class LangTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("Lang")));
        platform::hooks::SetProgramFolder(folder.Path());
        lang::Testi.fill(QString());
    }
    void TearDown() override {
        platform::hooks::SetProgramFolder(QString());
        platform::hooks::SetFaultInjector(nullptr);
        platform::hooks::SetUserLocale(std::nullopt);
        lang::Testi.fill(QString());
    }
    // Writes a language file into the Lang folder.
    void WriteLanguage(const QString& name, const QByteArray& content) const {
        folder.Write(QStringLiteral("Lang/") + name, content);
    }
    // Lines "NN text n" for n = first to last, each ended by CR LF.
    static QByteArray NumberedLines(int first, int last, const QString& text) {
        QByteArray out;
        for (int n = first; n <= last; ++n) {
            out += QStringLiteral("%1 %2 %3\r\n")
                       .arg(n, 2, 10, QLatin1Char('0'))
                       .arg(text)
                       .arg(n)
                       .toUtf8();
        }
        return out;
    }

    testsupport::TempFolder folder;
};
