// The request trace, line by line, in memory and in a file that is readable after every line.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/DeviceRecords.h"
#include "driver/DriverRecords.h"
#include "os/Event.h"
#include "sim/Simulator.h"

namespace {

using namespace vesk;
using Lines = std::vector<std::string>;

const char kPath[] = "\\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}";

std::string LittleEndianHex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x", value & 0xff, (value >> 8) & 0xff,
                  (value >> 16) & 0xff, value >> 24);
    return text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(SimTrace, EveryCrossingIsOneLineWithConnectionNumbers) {
    sim::Simulator simulator;
    simulator.TraceToMemory(true);
    os::AutoResetEvent event;
    const uint32_t eventValue = event.HandleValue();

    void* first = nullptr;
    void* second = nullptr;
    void* none = nullptr;
    _VESK_VERSION_INFO version{};
    VESK_EVENT_RECORD record{};
    ASSERT_EQ(simulator.Open(kPath, &first), 0u);
    ASSERT_EQ(simulator.Control(first, IOCTL_VESK_GET_VERSION, nullptr, 0, &version, 12), 0u);
    ASSERT_TRUE(simulator.Execute("unload"));
    ASSERT_EQ(simulator.Open(kPath, &none), 2u);
    ASSERT_EQ(simulator.Open("\\\\.\\other", &none), 2u);
    ASSERT_TRUE(simulator.Execute("  load "));
    ASSERT_EQ(simulator.Open(kPath, &second), 0u);
    ASSERT_EQ(
        simulator.Control(second, IOCTL_VESK_SET_NOTIFICATION_EVENT, &eventValue, 4, nullptr, 0),
        0u);
    ASSERT_TRUE(simulator.Execute("event 2"));
    ASSERT_EQ(simulator.Control(first, IOCTL_VESK_GET_VERSION, nullptr, 0, &version, 12), 1167u);
    ASSERT_EQ(simulator.Control(second, IOCTL_VESK_GET_EVENT, nullptr, 0, &record, 12), 0u);
    ASSERT_EQ(simulator.Control(second, IOCTL_VESK_GET_EVENT, nullptr, 0, &record, 12), 259u);
    ASSERT_TRUE(simulator.Execute("mark before-apply"));
    simulator.Close(second);
    simulator.Close(first);
    simulator.Close(first);  // a second close is not a crossing

    const std::string path = kPath;
    EXPECT_EQ(simulator.TraceLines(),
              (Lines{"open 1 " + path + " -> 0x00000000",
                     "ioctl 1 0x80882804 in= -> 0x00000000 out=020e0105d204000000000000",
                     "command unload", "open - " + path + " -> 0x00000002",
                     "open - \\\\.\\other -> 0x00000002", "command load",
                     "open 2 " + path + " -> 0x00000000",
                     "ioctl 2 0x80882820 in=" + LittleEndianHex(eventValue) + " -> 0x00000000 out=",
                     "command event 2", "signal 2", "ioctl 1 0x80882804 in= -> 0x0000048f out=",
                     "ioctl 2 0x80882828 in= -> 0x00000000 out=020000000000000000000000",
                     "ioctl 2 0x80882828 in= -> 0x00000103 out=", "command mark before-apply",
                     "mark before-apply", "close 2", "close 1"}));
}

TEST(SimTrace, FailedRequestsShowTheirInputButNoOutput) {
    sim::Simulator simulator;
    void* handle = nullptr;
    ASSERT_EQ(simulator.Open(kPath, &handle), 0u);
    simulator.TraceToMemory(true);
    uint32_t id = 0xabcdef01;
    _VESK_DEVICE_PROPERTIES device{};
    _VESK_DEVICE_LIST list{};
    simulator.Control(handle, IOCTL_VESK_GET_DEVICE_PROPERTIES, &id, 4, &device, sizeof device);
    simulator.Control(handle, IOCTL_VESK_GET_DEVICE_PROPERTIES, &id, 4, &device, 12);
    simulator.Control(handle, 0x80880000, &id, 4, nullptr, 0);
    simulator.Control(handle, IOCTL_VESK_GET_DEVICE_LIST, nullptr, 0, &list, sizeof list);
    const Lines lines = simulator.TraceLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "ioctl 1 0x80882920 in=01efcdab -> 0x00000490 out=");
    EXPECT_EQ(lines[1], "ioctl 1 0x80882920 in=01efcdab -> 0x00000057 out=");
    EXPECT_EQ(lines[2], "ioctl 1 0x80880000 in=01efcdab -> 0x00000001 out=");
    const std::string head = "ioctl 1 0x80882860 in= -> 0x00000000 out=03000000011000000210";
    EXPECT_EQ(lines[3].substr(0, head.size()), head);
    EXPECT_EQ(lines[3].size(), head.size() - 20 + 2 * sizeof list);

    simulator.ClearTrace();
    simulator.TraceToMemory(false);
    simulator.Close(handle);
    EXPECT_TRUE(simulator.TraceLines().empty());
}

TEST(SimTrace, TheFileHoldsEachLineAsSoonAsItIsWritten) {
    sim::Simulator simulator;
    const std::string path = testing::TempDir() + "vesk-sim-trace.txt";
    const std::string next = testing::TempDir() + "vesk-sim-trace-2.txt";
    ASSERT_TRUE(simulator.TraceToFile(path));
    void* handle = nullptr;
    ASSERT_EQ(simulator.Open(kPath, &handle), 0u);
    EXPECT_EQ(ReadFile(path), "open 1 " + std::string(kPath) + " -> 0x00000000\n");
    ASSERT_TRUE(simulator.Execute("mark one"));
    EXPECT_EQ(ReadFile(path).substr(ReadFile(path).find("command")),
              "command mark one\nmark one\n");

    ASSERT_TRUE(simulator.Execute("trace " + next));
    simulator.Close(handle);
    ASSERT_TRUE(simulator.Execute("trace off"));
    ASSERT_TRUE(simulator.Execute("mark unseen"));
    EXPECT_EQ(ReadFile(next), "close 1\ncommand trace off\n");
    EXPECT_EQ(ReadFile(path).find("close"), std::string::npos);

    std::string error;
    EXPECT_FALSE(
        simulator.Execute("trace " + testing::TempDir() + "no-such-dir/x/trace.txt", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(simulator.TraceToFile(testing::TempDir() + "no-such-dir/x/trace.txt"));
    std::remove(path.c_str());
    std::remove(next.c_str());
}

TEST(SimTrace, NotificationsAreTracedOncePerWindow) {
    sim::Simulator simulator;
    simulator.TraceToMemory(true);
    void* registration = simulator.RegisterNotification(reinterpret_cast<void*>(0x4b1d));
    ASSERT_NE(registration, nullptr);
    EXPECT_EQ(simulator.RegisterNotification(nullptr), nullptr);
    ASSERT_TRUE(simulator.Execute("unload"));
    ASSERT_TRUE(simulator.Execute("unload"));  // nothing changes, nothing is told
    ASSERT_TRUE(simulator.Execute("load"));
    simulator.UnregisterNotification(registration);
    ASSERT_TRUE(simulator.Execute("unload"));
    EXPECT_EQ(simulator.TraceLines(), (Lines{"command unload", "notify 0x8004", "command unload",
                                             "command load", "notify 0x8000", "command unload"}));
}

}  // namespace
