#include <cstdlib>

#include <gtest/gtest.h>

#include "temphome.h"

// The main of every test program that needs no Qt application.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ktest::SetHeadlessEnvironment();
    return RUN_ALL_TESTS();
}
