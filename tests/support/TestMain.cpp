#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "platform/Application.h"
#include "support/TestSupport.h"

int main(int argc, char** argv) {
    // Widget tests run headless unless a display platform is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    platform::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::ResetAfterEachTest(testsupport::ResetAllHooks);
    return RUN_ALL_TESTS();
}
