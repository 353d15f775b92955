// What the simulated driver tells the panel by itself: the registered event whenever records
// are queued, and device-interface notifications, delivered without the simulator's lock so
// that a handler may call straight back in. Also the device file that forwards to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "driver/DeviceRecords.h"
#include "driver/DriverRecords.h"
#include "os/DeviceFile.h"
#include "os/Event.h"
#include "os/Window.h"
#include "sim/Simulator.h"

namespace {

using namespace vesk;

const char kPath[] = "\\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}";

// True when `event` is set; consumes it. The second event, set first, stands for "not set".
bool IsSet(os::AutoResetEvent& event) {
    os::AutoResetEvent unset;
    unset.Set();
    return os::WaitForEither(event, unset) == os::WaitResult::First;
}

uint32_t Register(sim::Simulator& simulator, void* handle, const os::AutoResetEvent& event) {
    const uint32_t value = event.HandleValue();
    return simulator.Control(handle, IOCTL_VESK_SET_NOTIFICATION_EVENT, &value, 4, nullptr, 0);
}

TEST(SimNotify, TheRegisteredEventIsSetWheneverRecordsAreQueued) {
    sim::Simulator simulator;
    void* notificator = nullptr;
    void* other = nullptr;
    ASSERT_EQ(simulator.Open(kPath, &notificator), 0u);
    ASSERT_EQ(simulator.Open(kPath, &other), 0u);
    os::AutoResetEvent event;
    ASSERT_EQ(Register(simulator, notificator, event), 0u);
    EXPECT_FALSE(IsSet(event));  // nothing queued yet

    ASSERT_TRUE(simulator.Execute("event 2"));
    EXPECT_TRUE(IsSet(event));
    ASSERT_EQ(simulator.Control(other, IOCTL_VESK_START_STREAMING, nullptr, 0, nullptr, 0), 0u);
    EXPECT_TRUE(IsSet(event));
    ASSERT_TRUE(simulator.Execute(R"(add-device {"name": "Hot"})"));
    EXPECT_TRUE(IsSet(event));
    ASSERT_TRUE(simulator.Execute(R"(set {"events": [1, 2, 3, 1]})"));
    EXPECT_TRUE(IsSet(event));
    ASSERT_TRUE(simulator.Execute("dropouts 3"));
    EXPECT_FALSE(IsSet(event));

    // Handing over an event while records wait sets it at once.
    os::AutoResetEvent late;
    ASSERT_EQ(Register(simulator, other, late), 0u);
    EXPECT_TRUE(IsSet(late));

    // A closed connection's event, and the events of an unloaded driver, are never set again.
    simulator.Close(other);
    ASSERT_TRUE(simulator.Execute("event 1"));
    EXPECT_FALSE(IsSet(late));
    EXPECT_TRUE(IsSet(event));
    ASSERT_TRUE(simulator.Execute("unload"));
    ASSERT_TRUE(simulator.Execute("load"));
    ASSERT_TRUE(simulator.Execute("event 1"));
    EXPECT_FALSE(IsSet(event));
    simulator.Close(notificator);
}

#if !defined(_WIN32)
TEST(SimNotify, PresenceReachesEveryWindowOutsideTheLockSoHandlersMayCallBack) {
    sim::Simulator simulator;
    void* stale = nullptr;
    ASSERT_EQ(simulator.Open(kPath, &stale), 0u);
    std::vector<std::string> seen;
    std::vector<uint32_t> statuses;
    os::SetDeviceChangeHook([&](os::WindowHandle window, uint32_t event, const char* path) {
        seen.push_back(std::to_string(reinterpret_cast<uintptr_t>(window)) + " " +
                       std::to_string(event) + " " + path);
        // As the panel's view does: try to open on the same thread, inside the notification.
        void* handle = nullptr;
        statuses.push_back(simulator.Open(kPath, &handle));
        _VESK_VERSION_INFO version{};
        statuses.push_back(
            simulator.Control(stale, IOCTL_VESK_GET_VERSION, nullptr, 0, &version, sizeof version));
        if (handle) simulator.Close(handle);
    });
    ASSERT_NE(simulator.RegisterNotification(reinterpret_cast<void*>(7)), nullptr);
    ASSERT_NE(simulator.RegisterNotification(reinterpret_cast<void*>(8)), nullptr);

    ASSERT_TRUE(simulator.Execute("unload"));
    ASSERT_TRUE(simulator.LoadScenario(R"({"loaded": true})"));
    os::SetDeviceChangeHook(nullptr);

    const std::string path = kPath;
    EXPECT_EQ(seen, (std::vector<std::string>{"7 32772 " + path, "8 32772 " + path,
                                              "7 32768 " + path, "8 32768 " + path}));
    EXPECT_EQ(statuses, (std::vector<uint32_t>{2, 1167, 2, 1167, 0, 1167, 0, 1167}));
    simulator.Close(stale);
}
#endif

TEST(SimNotify, TheDeviceFileIsTheProcessSimulator) {
    sim::Simulator& simulator = sim::Simulator::Instance();
    simulator.Reset();
    simulator.TraceToMemory(true);
    os::DeviceHandle handle = nullptr;
    ASSERT_EQ(os::OpenDevice(kPath, &handle), 0u);
    _VESK_VERSION_INFO version{};
    EXPECT_EQ(os::ControlDevice(handle, IOCTL_VESK_GET_VERSION, nullptr, 0, &version, 12), 0u);
    EXPECT_EQ(version.InterfaceMinor, 14);
    os::CloseDevice(handle);
    ASSERT_EQ(simulator.TraceLines().size(), 3u);
    EXPECT_EQ(simulator.TraceLines()[0], "open 1 " + std::string(kPath) + " -> 0x00000000");

    const uint8_t driverClass[16] = {0xE2, 0x27, 0x0F, 0xB5, 0xB7, 0xF1, 0x0C, 0x44,
                                     0x9B, 0xCA, 0x8C, 0xFC, 0x65, 0x3B, 0xD5, 0xC3};
    uint8_t otherClass[16];
    std::copy(driverClass, driverClass + 16, otherClass);
    otherClass[15] ^= 1;
    EXPECT_EQ(os::RegisterDeviceInterfaceNotification(reinterpret_cast<void*>(9), otherClass),
              nullptr);
    void* registration =
        os::RegisterDeviceInterfaceNotification(reinterpret_cast<void*>(9), driverClass);
    EXPECT_NE(registration, nullptr);
    simulator.UnregisterNotification(registration);
    simulator.Reset();
    EXPECT_TRUE(simulator.TraceLines().empty());
}

TEST(SimNotify, ConcurrentConnectionsAndCommandsAreServedOneAtATime) {
    sim::Simulator simulator;
    simulator.TraceToMemory(true);
    constexpr int kRequests = 300;
    std::vector<uint32_t> failures(2, 0);
    auto client = [&](int index) {
        void* handle = nullptr;
        if (simulator.Open(kPath, &handle) != 0) {
            ++failures[index];
            return;
        }
        for (int i = 0; i < kRequests; ++i) {
            _VESK_DEVICE_LIST list{};
            if (simulator.Control(handle, IOCTL_VESK_GET_DEVICE_LIST, nullptr, 0, &list,
                                  sizeof list) != 0 ||
                list.DeviceCount < 3)
                ++failures[index];
        }
        simulator.Close(handle);
    };
    std::thread first(client, 0);
    std::thread second(client, 1);
    for (int i = 0; i < 50; ++i) {
        EXPECT_TRUE(simulator.Execute("event 2"));
        EXPECT_TRUE(simulator.Execute("add-device {\"id\": 77}"));
        EXPECT_TRUE(simulator.Execute("remove-device 77"));
    }
    first.join();
    second.join();
    EXPECT_EQ(failures, (std::vector<uint32_t>{0, 0}));
    size_t requests = 0;
    for (const std::string& line : simulator.TraceLines())
        requests += line.rfind("ioctl ", 0) == 0 && line.find(" -> 0x00000000 ") != line.npos;
    EXPECT_EQ(requests, 2u * kRequests);
}

}  // namespace
