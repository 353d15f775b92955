// The simulator's commands, fault rules and raw replies.
#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "driver/DeviceRecords.h"
#include "driver/DriverRecords.h"
#include "driver/StreamRecords.h"
#include "driver/SyncRecords.h"
#include "sim/Simulator.h"

namespace {

using json = nlohmann::json;
using namespace vesk;

const char kPath[] = "\\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}";

class SimCommands : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(m_sim.Open(kPath, &m_handle), 0u); }
    void TearDown() override { m_sim.Close(m_handle); }

    json Dump() const { return json::parse(m_sim.DumpScenario()); }
    uint32_t DeviceProperties(uint32_t id, _VESK_DEVICE_PROPERTIES* device) {
        return m_sim.Control(m_handle, IOCTL_VESK_GET_DEVICE_PROPERTIES, &id, 4, device,
                             sizeof *device);
    }
    std::vector<uint32_t> DeviceIds() {
        _VESK_DEVICE_LIST list{};
        EXPECT_EQ(
            m_sim.Control(m_handle, IOCTL_VESK_GET_DEVICE_LIST, nullptr, 0, &list, sizeof list),
            0u);
        return std::vector<uint32_t>(list.DeviceIds,
                                     list.DeviceIds + std::min(list.DeviceCount, 64u));
    }
    std::vector<int32_t> DrainEvents() {
        std::vector<int32_t> types;
        VESK_EVENT_RECORD record{};
        while (m_sim.Control(m_handle, IOCTL_VESK_GET_EVENT, nullptr, 0, &record, 12) == 0)
            types.push_back(record.EventType);
        return types;
    }

    sim::Simulator m_sim;
    void* m_handle = nullptr;
};

TEST_F(SimCommands, RefusedCommandsSayWhyAndChangeNothing) {
    m_sim.TraceToMemory(true);
    const std::string before = m_sim.DumpScenario();
    const char* refused[] = {
        "",
        "bogus",
        "LOAD",
        "load now",
        "event",
        "event x",
        "event 0x100000000",
        "add-device",
        "add-device {bad",
        R"(add-device {"id": "0x1001"})",
        R"(add-device {"id": 5, "colour": "red"})",
        "remove-device",
        "remove-device 0x9999",
        "remove-device device",
        "set",
        "set [1]",
        R"(set {"devices": 5})",
        R"(set {"sampleRate": {"currentRate": "fast"}})",
        "fail",
        "fail 0x80882920",
        "fail 0x12345678 31",
        "fail 0x80882920 0",
        "fail 0x80882920 31 0",
        "fail 0x80882920 31 -2",
        "fail 0x80882920 31 1 -1",
        "fail 0x80882920 31 1 2 3",
        "clear-faults now",
        "dropouts -1",
        "dropouts many",
        "dump",
        "trace",
    };
    for (const char* command : refused) {
        std::string error;
        EXPECT_FALSE(m_sim.Execute(command, &error)) << command;
        EXPECT_FALSE(error.empty()) << command;
        EXPECT_EQ(m_sim.TraceLines().back(), "command " + std::string(command)) << command;
    }
    EXPECT_EQ(m_sim.DumpScenario(), before);
    EXPECT_TRUE(DrainEvents().empty());
}

TEST_F(SimCommands, HotPlugQueuesBusResetAndDomainChange) {
    DrainEvents();
    ASSERT_TRUE(m_sim.Execute(R"(add-device {"name": "Hot", "rank": "0x10",
                                  "inputs": [{"hardwareName": "In"}]})"));
    const std::vector<uint32_t> ids = DeviceIds();
    ASSERT_EQ(ids.size(), 4u);
    _VESK_DEVICE_PROPERTIES device{};
    ASSERT_EQ(DeviceProperties(ids.back(), &device), 0u);
    EXPECT_STREQ(device.DeviceName, "Hot");
    EXPECT_EQ(DrainEvents(),
              (std::vector<int32_t>{EvtType_BusReset, EvtType_DomainConfigurationChanged}));
    ASSERT_TRUE(m_sim.Execute("add-device {\"name\": \"Unranked\"}"));
    ASSERT_EQ(DeviceProperties(DeviceIds().back(), &device), 0u);
    EXPECT_STREQ(device.DeviceName, "Unranked");  // without a rank a new device goes last
    DrainEvents();

    // The demo's clock master is the first device: without it the PC driver is the master.
    ASSERT_TRUE(m_sim.Execute("remove-device 4097"));
    EXPECT_EQ(DeviceProperties(0x1001, &device), 1168u);
    EXPECT_EQ(DeviceIds().size(), 4u);
    _VESK_CLOCK_MASTER master{};
    ASSERT_EQ(m_sim.Control(m_handle, IOCTL_VESK_GET_CLOCK_MASTER, nullptr, 0, &master, 12), 0u);
    EXPECT_EQ(master.MasterType, 0u);
    EXPECT_EQ(master.MasterDeviceId, 0u);
    EXPECT_EQ(DrainEvents(),
              (std::vector<int32_t>{EvtType_BusReset, EvtType_DomainConfigurationChanged}));
    ASSERT_TRUE(m_sim.Execute("load"));  // already loaded: no records
    EXPECT_TRUE(DrainEvents().empty());
}

TEST_F(SimCommands, FaultsSkipThenFailForTheirCount) {
    _VESK_DEVICE_PROPERTIES device{};
    ASSERT_TRUE(m_sim.Execute("fail 0x80882920 0x1f 2 1"));
    EXPECT_EQ(DeviceProperties(0x1001, &device), 0u);
    device.Rank = 0xabc;
    EXPECT_EQ(DeviceProperties(0x1002, &device), 0x1fu);
    EXPECT_EQ(device.Rank, 0xabcu);  // the output of a failure is left alone
    EXPECT_EQ(DeviceProperties(0x1001, &device), 0x1fu);
    EXPECT_EQ(DeviceProperties(0x1001, &device), 0u);
    EXPECT_EQ(Dump()["faults"], json::array());  // spent

    // Rules of one code count requests side by side.
    ASSERT_TRUE(m_sim.Execute("fail 0x80882920 31 1"));
    ASSERT_TRUE(m_sim.Execute("fail 0x80882920 32 1 1"));
    EXPECT_EQ(DeviceProperties(0x1001, &device), 31u);
    EXPECT_EQ(DeviceProperties(0x1001, &device), 32u);
    EXPECT_EQ(DeviceProperties(0x1001, &device), 0u);

    // A failed write changes nothing; -1 (and no count) fail until the rules are cleared.
    ASSERT_TRUE(m_sim.Execute("fail 0x80882924 5 -1"));
    ASSERT_TRUE(m_sim.Execute("fail 0x80882a04 0xE0000076"));
    ASSERT_EQ(DeviceProperties(0x1001, &device), 0u);
    device.Rank = 40;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(m_sim.Control(m_handle, IOCTL_VESK_SET_DEVICE_PROPERTIES, &device, sizeof device,
                                nullptr, 0),
                  5u);
        EXPECT_EQ(m_sim.Control(m_handle, IOCTL_VESK_STOP_STREAMING, nullptr, 0, nullptr, 0),
                  0xE0000076u);
    }
    EXPECT_EQ(Dump()["devices"][0]["rank"], 0);
    EXPECT_EQ(Dump()["streaming"], true);
    ASSERT_TRUE(m_sim.Execute("clear-faults"));
    EXPECT_EQ(m_sim.Control(m_handle, IOCTL_VESK_SET_DEVICE_PROPERTIES, &device, sizeof device,
                            nullptr, 0),
              0u);
    EXPECT_EQ(Dump()["devices"][0]["rank"], 40);
}

TEST_F(SimCommands, RawRepliesReplaceOutputsAndHandOutNoIdentifiers) {
    ASSERT_TRUE(m_sim.Execute(R"(set {"raw": {"0x80882860": "4100000077770000"}})"));
    _VESK_DEVICE_LIST list;
    std::memset(&list, 0xee, sizeof list);
    ASSERT_EQ(m_sim.Control(m_handle, IOCTL_VESK_GET_DEVICE_LIST, nullptr, 0, &list, sizeof list),
              0u);
    EXPECT_EQ(list.DeviceCount, 65u);  // past capacity, as a hostile driver might say
    EXPECT_EQ(list.DeviceIds[0], 0x7777u);
    EXPECT_EQ(list.DeviceIds[63], 0u);  // padded with zeros
    _VESK_DEVICE_PROPERTIES device{};
    EXPECT_EQ(DeviceProperties(0x7777, &device), 1168u);

    // A name without a zero byte, whatever identifier is asked for.
    std::string nameWithoutZero;
    for (int i = 0; i < 40; ++i) nameWithoutZero += "4e";
    ASSERT_TRUE(m_sim.Execute("set {\"raw\": {\"0x80882920\": \"7777000000000000" +
                              nameWithoutZero + "\"}}"));
    std::memset(&device, 0xee, sizeof device);
    ASSERT_EQ(DeviceProperties(0x7777, &device), 0u);
    EXPECT_EQ(device.DeviceId, 0x7777u);
    EXPECT_EQ(std::string(device.DeviceName, 40), std::string(40, 'N'));
    EXPECT_EQ(device.SerialNumber[0], 0);
    ASSERT_EQ(DeviceProperties(0xdead, &device), 0u);

    ASSERT_TRUE(m_sim.Execute(R"(set {"raw": {"0x80882920": null}})"));
    EXPECT_EQ(DeviceProperties(0x7777, &device), 1168u);
    EXPECT_EQ(Dump()["raw"], json({{"0x80882860", "4100000077770000"}}));

    // The same replies without a scenario: the same bounds, and no bytes remove one.
    EXPECT_FALSE(m_sim.SetRawReply(0x80882861, {1}));
    EXPECT_FALSE(m_sim.SetRawReply(IOCTL_VESK_GET_VERSION, std::vector<uint8_t>(13, 1)));
    ASSERT_TRUE(m_sim.SetRawReply(IOCTL_VESK_GET_DEVICE_PROPERTIES, {0x77, 0x77}));
    ASSERT_TRUE(m_sim.SetRawReply(IOCTL_VESK_GET_DEVICE_LIST, {}));
    EXPECT_EQ(Dump()["raw"], json({{"0x80882920", "7777"}}));
}

TEST_F(SimCommands, SetMergesAsAPatchAndNumbersTakeEitherNotation) {
    ASSERT_TRUE(m_sim.Execute(R"(set {"version": {"driverBuild": 9},
                                      "sampleRate": {"rates": [48000]}})"));
    const json state = Dump();
    EXPECT_EQ(state["version"]["driverBuild"], 9);
    EXPECT_EQ(state["version"]["interfaceMinor"], 14);
    EXPECT_EQ(state["sampleRate"]["rates"], json({48000}));
    EXPECT_EQ(state["sampleRate"]["currentRate"], 48000);
    EXPECT_EQ(state["devices"].size(), 3u);

    ASSERT_TRUE(m_sim.Execute("dropouts 0x11"));
    _VESK_STATISTICS statistics{};
    ASSERT_EQ(m_sim.Control(m_handle, IOCTL_VESK_GET_STATISTICS, nullptr, 0, &statistics,
                            sizeof statistics),
              0u);
    EXPECT_EQ(statistics.DropOuts, 17u);
    ASSERT_TRUE(m_sim.Execute("event -7"));
    EXPECT_EQ(DrainEvents(), std::vector<int32_t>{-7});

    // Unloading through `set` is an unload: the open handle is stale from then on.
    ASSERT_TRUE(m_sim.Execute(R"(set {"loaded": false})"));
    ASSERT_TRUE(m_sim.Execute(R"(set {"loaded": true})"));
    EXPECT_EQ(m_sim.Control(m_handle, IOCTL_VESK_GET_STATISTICS, nullptr, 0, &statistics,
                            sizeof statistics),
              1167u);
}

}  // namespace
