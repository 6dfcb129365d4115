#include <QApplication>

#include <gtest/gtest.h>

// Runs the tests inside one headless application object, which text
// drawing, windows and dialogs need. Test discovery runs the program
// without the test environment, so the headless platform is chosen here too.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
