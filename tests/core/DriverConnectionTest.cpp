#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "driver/DeviceRecords.h"
#include "driver/IoctlCodes.h"
#include "driver/StreamRecords.h"
#include "driver/SyncRecords.h"
#include "driver/Vesk1394Driver.h"
#include "sim/Simulator.h"

namespace {

const std::string kPath = std::string("\\\\.\\") + DEVICE_INTERFACE_NAME;

class DriverConnection : public ::testing::Test {
  protected:
    void SetUp() override {
        Sim().Reset();
        Sim().TraceToMemory(true);
    }
    void TearDown() override { Sim().Reset(); }

    static sim::Simulator& Sim() { return sim::Simulator::Instance(); }

    static void Load(const std::string& json) {
        std::string error;
        ASSERT_TRUE(Sim().LoadScenario(json, &error)) << error;
        Sim().ClearTrace();
    }

    static std::string Version(int major, int minor) {
        return "{\"version\": {\"interfaceMajor\": " + std::to_string(major) +
               ", \"interfaceMinor\": " + std::to_string(minor) + "}}";
    }

    static int CountLines(const std::string& prefix) {
        int count = 0;
        for (const std::string& line : Sim().TraceLines())
            if (line.compare(0, prefix.size(), prefix) == 0) ++count;
        return count;
    }
};

TEST_F(DriverConnection, AcceptsInterfaceVersionsFrom2_14To2_255Only) {
    struct Case {
        int major, minor;
        bool accepted;
    };
    const Case cases[] = {{2, 13, false}, {2, 14, true},  {2, 200, true}, {2, 255, true},
                          {3, 14, false}, {1, 20, false}, {2, 0, false},  {0, 14, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        Load(Version(c.major, c.minor));
        CVesk1394Driver driver;
        const uint32_t status = driver.Open(DEVICE_INTERFACE_NAME);
        const std::vector<std::string> opened = Sim().TraceLines();
        ASSERT_EQ(opened.size(), c.accepted ? 2u : 3u);
        EXPECT_EQ(opened[0].rfind("open ", 0), 0u);
        EXPECT_NE(opened[1].find(" 0x80882804 in= -> 0x00000000 out="), std::string::npos);
        if (c.accepted) {
            EXPECT_EQ(status, 0u);
            EXPECT_TRUE(driver.IsOpen());
            continue;
        }
        EXPECT_EQ(status, VESK_E_INTERFACE_VERSION);
        EXPECT_EQ(opened[2].rfind("close ", 0), 0u);
        EXPECT_FALSE(driver.IsOpen());
        _VESK_VERSION_INFO version;
        EXPECT_EQ(driver.GetVersion(&version), VESK_E_NOT_OPEN);
        EXPECT_EQ(Sim().TraceLines().size(), 3u) << "a closed connection reached the driver";
    }
}

TEST_F(DriverConnection, OpeningTwiceChecksTheVersionOnceAndReopensAfterClose) {
    Load("");
    CVesk1394Driver driver;
    ASSERT_EQ(driver.Open(DEVICE_INTERFACE_NAME), 0u);
    EXPECT_EQ(driver.Open(DEVICE_INTERFACE_NAME), 0u);
    EXPECT_EQ(CountLines("open "), 1);
    EXPECT_EQ(CountLines("ioctl 1 0x80882804 "), 1);

    driver.Close();
    driver.Close();  // closing a closed connection does nothing
    EXPECT_EQ(CountLines("close 1"), 1);
    ASSERT_EQ(driver.Open(DEVICE_INTERFACE_NAME), 0u);
    EXPECT_EQ(CountLines("open 2 " + kPath + " -> 0x00000000"), 1);
    EXPECT_EQ(CountLines("ioctl 2 0x80882804 "), 1);
}

TEST_F(DriverConnection, AFailingVersionRequestClosesAndIsWhatOpenReturns) {
    Load(R"({"faults": [{"code": "0x80882804", "status": "0x0000001F", "count": 1}]})");
    CVesk1394Driver driver;
    EXPECT_EQ(driver.Open(DEVICE_INTERFACE_NAME), 0x1Fu);
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(CountLines("close 1"), 1);
    // The fault was spent: the next open succeeds on a new connection.
    EXPECT_EQ(driver.Open(DEVICE_INTERFACE_NAME), 0u);
    EXPECT_TRUE(driver.IsOpen());
}

TEST_F(DriverConnection, WithoutTheDriverOpenFailsAndNothingReachesIt) {
    Load(R"({"loaded": false})");
    CVesk1394Driver driver;
    EXPECT_EQ(driver.Open(DEVICE_INTERFACE_NAME), 2u);
    EXPECT_FALSE(driver.IsOpen());
    Sim().ClearTrace();

    // Every method answers NOT_OPEN, leaves its output alone and sends nothing.
    uint32_t value = 0xA5A5A5A5;
    EXPECT_EQ(driver.GetSampleRateMode(&value), VESK_E_NOT_OPEN);
    EXPECT_EQ(value, 0xA5A5A5A5u);
    _VESK_DEVICE_LIST list;
    std::memset(&list, 0x5A, sizeof(list));
    EXPECT_EQ(driver.GetDeviceList(&list), VESK_E_NOT_OPEN);
    EXPECT_EQ(list.DeviceCount, 0x5A5A5A5Au);
    EXPECT_EQ(driver.SetSampleRate(48000), VESK_E_NOT_OPEN);
    EXPECT_EQ(driver.StopStreaming(), VESK_E_NOT_OPEN);
    EXPECT_EQ(driver.SetNotificationEvent(1), VESK_E_NOT_OPEN);
    EXPECT_EQ(driver.IoControl(0x12345678, nullptr, 0, nullptr, 0), VESK_E_NOT_OPEN);
    EXPECT_TRUE(Sim().TraceLines().empty());
}

TEST_F(DriverConnection, ANameTooLongForThePathIsRefusedBeforeTheSystem) {
    Load("");
    CVesk1394Driver driver;
    // 4 prefix characters + 295 + the zero fill the 300-character buffer exactly.
    const std::string longest(295, 'x');
    EXPECT_EQ(driver.Open(longest.c_str()), 2u);
    ASSERT_EQ(Sim().TraceLines().size(), 1u);
    EXPECT_EQ(Sim().TraceLines()[0], "open - \\\\.\\" + longest + " -> 0x00000002");

    Sim().ClearTrace();
    const std::string tooLong(296, 'x');
    EXPECT_EQ(driver.Open(tooLong.c_str()), 206u);  // ERROR_FILENAME_EXCED_RANGE
    EXPECT_EQ(driver.Open(nullptr), 123u);          // ERROR_INVALID_NAME
    EXPECT_TRUE(Sim().TraceLines().empty());
    EXPECT_FALSE(driver.IsOpen());
}

TEST_F(DriverConnection, ARejectedRequestPassesTheStatusAndKeepsTheConnection) {
    Load(R"({"faults": [{"code": "0x80882888", "status": "0xE0000047", "count": 1}],
             "sampleRateMode": 1})");
    CVesk1394Driver driver;
    ASSERT_EQ(driver.Open(DEVICE_INTERFACE_NAME), 0u);
    uint32_t automatic = 7;
    EXPECT_EQ(driver.GetSampleRateMode(&automatic), 0xE0000047u);
    EXPECT_EQ(automatic, 7u) << "written although the request failed";
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(driver.GetSampleRateMode(&automatic), 0u);
    EXPECT_EQ(automatic, 1u);
}

TEST_F(DriverConnection, AMissingBufferIsRefusedWithoutReachingTheDriver) {
    Load("");
    CVesk1394Driver driver;
    ASSERT_EQ(driver.Open(DEVICE_INTERFACE_NAME), 0u);
    Sim().ClearTrace();
    EXPECT_EQ(driver.GetDeviceList(nullptr), 87u);
    EXPECT_EQ(driver.SetClockMaster(nullptr), 87u);
    EXPECT_TRUE(Sim().TraceLines().empty());
}

TEST_F(DriverConnection, SmallRecordsAreBuiltByTheMethods) {
    Load("");
    CVesk1394Driver driver;
    ASSERT_EQ(driver.Open(DEVICE_INTERFACE_NAME), 0u);
    Sim().ClearTrace();
    driver.SetSampleRate(48000);
    driver.SetSampleRateMode(1);
    driver.SetNotificationEvent(0x12c);
    const std::vector<std::string> lines = Sim().TraceLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("ioctl 1 0x808828c4 in=0000000080bb0000 -> ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("ioctl 1 0x8088288c in=0000000001000000 -> ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("ioctl 1 0x80882820 in=2c010000 -> ", 0), 0u) << lines[2];
}

}  // namespace
