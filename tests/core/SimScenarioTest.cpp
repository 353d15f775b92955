// Scenario files: numbers in either notation, the demo behind every missing member, refusals
// that leave the state alone, and dumps that read back to the same state.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "driver/DeviceRecords.h"
#include "driver/SyncRecords.h"
#include "sim/Simulator.h"

namespace {

using json = nlohmann::json;
using namespace vesk;

const char kPath[] = "\\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}";

json Dump(const sim::Simulator& simulator) {
    return json::parse(simulator.DumpScenario());
}

std::string TempPath(const char* name) {
    return testing::TempDir() + "vesk-sim-" + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void SetVariable(const std::string& name, const std::string& value) {
#if defined(_WIN32)
    _putenv((name + "=" + value).c_str());
#else
    if (value.empty())
        unsetenv(name.c_str());
    else
        setenv(name.c_str(), value.c_str(), 1);
#endif
}

TEST(SimScenario, TheDemoFillsEveryMissingMember) {
    sim::Simulator simulator;
    const json demo = Dump(simulator);
    EXPECT_GE(demo["devices"].size(), 2u);
    ASSERT_TRUE(simulator.LoadScenario(R"({"wdmInUse": true, "version": {"driverBuild": 7}})"));
    json expected = demo;
    expected["wdmInUse"] = true;
    expected["version"]["driverBuild"] = 7;
    EXPECT_EQ(Dump(simulator), expected);
    ASSERT_TRUE(simulator.LoadScenario(""));
    EXPECT_EQ(Dump(simulator), demo);
    ASSERT_TRUE(simulator.LoadScenario(R"({"wdmInUse": true})"));
    ASSERT_TRUE(simulator.LoadScenario("{}"));
    EXPECT_EQ(Dump(simulator), demo);
}

TEST(SimScenario, NumbersMayBeHexStringsAndLeftOutDeviceMembersGetDefaults) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.LoadScenario(R"({
        "asioNameIncludesDevice": "0x10",
        "version": {"interfaceMinor": "0x0f", "driverBuild": "0xffffffff"},
        "events": ["0x64", -1],
        "devices": [{"id": "0x00001001", "rank": "3"},
                    {"name": "No id", "inputs": [{"hardwareName": "In"}, {"id": "0x2001"}]}]
    })"));
    const json state = Dump(simulator);
    EXPECT_EQ(state["asioNameIncludesDevice"], 16);
    EXPECT_EQ(state["version"]["interfaceMinor"], 15);
    EXPECT_EQ(state["version"]["driverBuild"], -1);
    EXPECT_EQ(state["events"], json({100, -1}));
    const json& second = state["devices"][1];
    EXPECT_EQ(state["devices"][0]["rank"], 3);
    EXPECT_EQ(second["rank"], 1);
    EXPECT_NE(second["id"], "0x1001");  // a chosen identifier never collides with a given one
    EXPECT_EQ(second["syncModes"]["current"],
              json({{"syncType", 6}, {"modeId", 1}, {"modeName", ""}}));
    const json& inputs = second["inputs"];
    EXPECT_NE(inputs[0]["id"], "0x2001");
    EXPECT_EQ(inputs[0]["channelName"], "In");  // a channel is named after its connector

    void* handle = nullptr;
    ASSERT_EQ(simulator.Open(kPath, &handle), 0u);
    uint32_t id = std::stoul(inputs[0]["id"].get<std::string>(), nullptr, 16);
    _VESK_CHANNEL_PROPERTIES channel{};
    ASSERT_EQ(simulator.Control(handle, IOCTL_VESK_GET_CHANNEL_PROPERTIES, &id, 4, &channel,
                                sizeof channel),
              0u);
    EXPECT_EQ(channel.Field0, id);  // distinct channels send back distinct records
    simulator.Close(handle);
}

TEST(SimScenario, RefusedScenariosLeaveTheStateAsItWas) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.Execute("dropouts 5"));
    const std::string before = simulator.DumpScenario();
    const char* refused[] = {
        "{not json",
        "[1, 2]",
        R"({"sampleRates": []})",
        R"({"devices": [{"id": "0xZZ"}]})",
        R"({"devices": [{"id": 1}, {"id": "0x1"}]})",
        R"({"devices": [{"inputs": [{"id": 5}]}, {"outputs": [{"id": 5}]}]})",
        R"({"devices": [{"id": 1, "extra": "abc"}]})",
        R"({"devices": [{"id": 1, "inputs": [{"field0": "0102030405"}]}]})",
        R"({"sampleRate": {"rates": [1, 2, 3, 4, 5, 6, 7, 8, 9]}})",
        R"({"version": {"interfaceMajor": 256}})",
        R"({"statistics": {"dropOuts": -1}})",
        R"({"statistics": {"dropOuts": 1e30}})",
        R"({"statistics": {"dropOuts": 2.5}})",
        R"({"loaded": "yes"})",
        R"({"faults": [{"code": "0x80882800", "status": 31}]})",
        R"({"faults": [{"code": "0x80882920", "status": 0}]})",
        R"({"faults": [{"code": "0x80882920", "status": 31, "count": 0}]})",
        R"({"raw": {"0x80882804": "00112233445566778899aabbcc"}})",
        R"({"raw": {"12": "00"}})",
    };
    for (const char* scenario : refused) {
        std::string error;
        EXPECT_FALSE(simulator.LoadScenario(scenario, &error)) << scenario;
        EXPECT_FALSE(error.empty()) << scenario;
        EXPECT_EQ(simulator.DumpScenario(), before) << scenario;
    }
    std::string error;
    EXPECT_FALSE(simulator.LoadScenario(R"({"devices": [{"rank": "x"}]})", &error));
    EXPECT_NE(error.find("devices[0].rank"), std::string::npos) << error;

    json tooMany = {{"devices", json::array()}};
    for (int i = 0; i < 65; ++i) tooMany["devices"].push_back({{"id", i}});
    EXPECT_FALSE(simulator.LoadScenario(tooMany.dump()));
    json wide = {
        {"devices",
         {{{"id", 1}, {"inputs", json::array()}}, {{"id", 2}, {"inputs", json::array()}}}}};
    for (int i = 0; i < 129; ++i) {
        wide["devices"][0]["inputs"].push_back({{"id", 1000 + i}});
        wide["devices"][1]["inputs"].push_back({{"id", 2000 + i}});
    }
    EXPECT_FALSE(simulator.LoadScenario(wide.dump()));  // 258 inputs do not fit the list
    EXPECT_EQ(simulator.DumpScenario(), before);
}

TEST(SimScenario, NamesAreKeptAsTheRecordsCanHoldThem) {
    sim::Simulator simulator;
    const std::string longName(50, 'x');
    json scenario = {
        {"devices", {{{"id", 1}, {"name", longName}, {"serial", std::string(80, 's')}}}}};
    ASSERT_TRUE(simulator.LoadScenario(scenario.dump()));
    const json device = Dump(simulator)["devices"][0];
    EXPECT_EQ(device["name"], std::string(39, 'x'));
    EXPECT_EQ(device["serial"], std::string(63, 's'));
}

TEST(SimScenario, SamplesFollowDepthAndRateUnlessGiven) {
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.LoadScenario(
        R"({"sampleRate": {"currentRate": 96000}, "wdmBufferDepth": {"samples": 7}})"));
    json state = Dump(simulator);
    EXPECT_EQ(state["asioBufferDepth"]["samples"], 504);
    EXPECT_EQ(state["wdmBufferDepth"]["samples"], 7);
}

TEST(SimScenario, ADumpReadsBackToTheSameState) {
    sim::Simulator simulator;
    void* handle = nullptr;
    ASSERT_EQ(simulator.Open(kPath, &handle), 0u);
    _VESK_DEVICE_PROPERTIES device{};
    uint32_t id = 0x1002;
    ASSERT_EQ(
        simulator.Control(handle, IOCTL_VESK_GET_DEVICE_PROPERTIES, &id, 4, &device, sizeof device),
        0u);
    std::strcpy(device.DeviceName, "Renamed");
    device.Rank = 9;
    ASSERT_EQ(simulator.Control(handle, IOCTL_VESK_SET_DEVICE_PROPERTIES, &device, sizeof device,
                                nullptr, 0),
              0u);
    ASSERT_EQ(simulator.Control(handle, IOCTL_VESK_STOP_STREAMING, nullptr, 0, nullptr, 0), 0u);
    ASSERT_TRUE(simulator.Execute("fail 0x80882920 0x1f 2 1"));
    ASSERT_TRUE(simulator.Execute("event 3"));
    ASSERT_TRUE(simulator.Execute(R"(set {"raw": {"0x80882ac8": "01"}, "wdmInUse": true})"));
    simulator.Close(handle);

    const std::string path = TempPath("dump.json");
    ASSERT_TRUE(simulator.Execute("dump " + path));
    const std::string dumped = simulator.DumpScenario();
    EXPECT_EQ(ReadFile(path), dumped);

    sim::Simulator copy;
    std::string error;
    ASSERT_TRUE(copy.LoadScenarioFile(path, &error)) << error;
    EXPECT_EQ(copy.DumpScenario(), dumped);
    const json state = json::parse(dumped);
    EXPECT_EQ(state["streaming"], false);
    EXPECT_EQ(state["devices"][1]["name"], "Renamed");
    EXPECT_EQ(state["faults"][0]["skip"], 1);
    EXPECT_EQ(state["events"], json({3}));
    std::remove(path.c_str());
    EXPECT_FALSE(copy.LoadScenarioFile(path, &error));
}

TEST(SimScenario, TheEnvironmentNamesTheScenarioAndTheTrace) {
    const std::string scenarioPath = TempPath("env-scenario.json");
    const std::string tracePath = TempPath("env-trace.txt");
    {
        std::ofstream file(scenarioPath);
        file << R"({"version": {"driverBuild": 4321}})";
    }
    SetVariable("VESK_SIM_SCENARIO", scenarioPath);
    SetVariable("VESK_SIM_TRACE", tracePath);
    sim::Simulator simulator;
    std::string error;
    EXPECT_TRUE(simulator.ConfigureFromEnvironment(&error)) << error;
    EXPECT_EQ(Dump(simulator)["version"]["driverBuild"], 4321);
    ASSERT_TRUE(simulator.Execute("mark configured"));
    EXPECT_EQ(ReadFile(tracePath), "command mark configured\nmark configured\n");
    simulator.TraceOff();

    SetVariable("VESK_SIM_SCENARIO", TempPath("missing.json"));
    EXPECT_FALSE(simulator.ConfigureFromEnvironment(&error));
    EXPECT_NE(error.find("missing.json"), std::string::npos);
    SetVariable("VESK_SIM_SCENARIO", "");
    SetVariable("VESK_SIM_TRACE", "");
    std::remove(scenarioPath.c_str());
    std::remove(tracePath.c_str());
}

}  // namespace
