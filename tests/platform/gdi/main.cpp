#include <QGuiApplication>

#include <gtest/gtest.h>

// Text drawing needs the font database, which needs a GUI application.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
