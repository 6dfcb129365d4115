#include "core/system/ksysinfo.h"

#include <gtest/gtest.h>

using namespace kolvarin;

TEST(SystemDetection, DirectXNames)
{
    EXPECT_EQ(GetDirectXVersionName("4.09.00.0904"), "9.0c");
    EXPECT_EQ(GetDirectXVersionName("4.09.0000.0901"), "9.0a");
    EXPECT_EQ(GetDirectXVersionName("4.07.00.0716"), "7.0a");
    EXPECT_EQ(GetDirectXVersionName("6.00.6001.18000"), "10.0");
    EXPECT_EQ(GetDirectXVersionName("4.10.00.0000"), "Unknown: 4.10.00.0000");
    uint32_t number = 0;
    std::string name;
    EXPECT_TRUE(GetDirectXVersion(number, name));
    EXPECT_GE(number, 0x00070000u);
}

TEST(SystemDetection, ThisMachine)
{
    EXPECT_EQ(GetOSVersion(), TOSVersion::Linux);
    EXPECT_EQ(GetOSName(TOSVersion::Linux).rfind("Linux ", 0), 0u);
    EXPECT_EQ(GetOSName(TOSVersion::Win98SE), "Windows 98 Second Edition");
    EXPECT_EQ(GetOSName(TOSVersion::Unknown), "");
    EXPECT_GE(GetCPUCores(), 1);
}
