#include <QApplication>

#include <gtest/gtest.h>

// Windows need an application object; test
// discovery runs this program without the test environment, so the headless
// platform is chosen here as well.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
