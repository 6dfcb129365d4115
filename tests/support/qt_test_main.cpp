#include <QApplication>

#include <gtest/gtest.h>

#include "temphome.h"

// Runs the tests inside one headless application object, which text
// drawing, windows and dialogs need.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ktest::SetHeadlessEnvironment();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
