// The main of the tests without windows: an application of Qt Core alone, as a
// program without windows would run the wipe.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/TestSupport.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::ResetAfterEachTest(testsupport::ResetCoreHooks);
    return RUN_ALL_TESTS();
}
