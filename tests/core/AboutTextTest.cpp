#include <gtest/gtest.h>

#include "model/AboutText.h"

namespace {

using namespace vesk;

TEST(AboutText, ShowsTheDriverVersionsWhenTheDriverAnswered) {
    _VESK_VERSION_INFO version{};
    version.InterfaceMajor = 2;
    version.InterfaceMinor = 14;
    version.DriverMajor = 1;
    version.DriverMinor = 5;
    version.DriverBuild = 1234;
    EXPECT_EQ(AboutText(0, version),
              "Norvale QVX 1394 Driver Control Panel: V 1.01\n\n"
              " - Driver Interface Version 2.14\n\n"
              " - Driver Version 1.5.1234\n\n"
              "Copyright (C) 2026 Norvale. All rights reserved.");

    // Bytes are widened without sign, the build keeps its sign.
    version.InterfaceMajor = 200;
    version.DriverMinor = 255;
    version.DriverBuild = -7;
    EXPECT_EQ(AboutText(0, version),
              "Norvale QVX 1394 Driver Control Panel: V 1.01\n\n"
              " - Driver Interface Version 200.14\n\n"
              " - Driver Version 1.255.-7\n\n"
              "Copyright (C) 2026 Norvale. All rights reserved.");
}

TEST(AboutText, LeavesTheVersionsOutWhenTheRequestFailed) {
    _VESK_VERSION_INFO version{};
    version.InterfaceMajor = 9;  // not to be shown: the request failed
    const char* expected =
        "Norvale QVX 1394 Driver Control Panel: V 1.01\n\n\n"
        "Copyright (C) 2026 Norvale. All rights reserved.";
    EXPECT_EQ(AboutText(0xE0000013, version), expected);
    EXPECT_EQ(AboutText(1, version), expected);
}

}  // namespace
