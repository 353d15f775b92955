// What the console program's tests share: running a command line against the simulated
// driver, loading a driver state, and reading what was written from the trace and the dump.
#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "cli/VeskCfg.h"
#include "driver/IoctlCodes.h"
#include "sim/Simulator.h"

namespace veskcfg_test {

using json = nlohmann::json;

inline sim::Simulator& Sim() {
    return sim::Simulator::Instance();
}

struct Result {
    int exitCode;
    vesk::CommandStreams streams;
    int panelNotices;
};

inline Result VeskCfg(const std::vector<std::string>& args) {
    Result result{0, {}, 0};
    CDrv drv;
    result.exitCode = vesk::RunVeskCfg(
        args, drv, [&] { ++result.panelNotices; }, result.streams);
    return result;
}

inline void Load(const json& scenario) {
    Sim().Reset();
    std::string error;
    ASSERT_TRUE(Sim().LoadScenario(scenario.dump(), &error)) << error;
}

inline std::string TempPath(const char* name) {
    return testing::TempDir() + name;
}

inline std::string Exported() {
    Result result = VeskCfg({"export", "-"});
    EXPECT_EQ(result.exitCode, vesk::kExitSuccess) << result.streams.err;
    return result.streams.out;
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Requests that change the driver, as the trace shows them.
inline size_t WritesTraced() {
    const std::set<uint32_t> writes = {vesk::IOCTL_VESK_SET_ASIO_NAME_INCLUDES_DEVICE,
                                       vesk::IOCTL_VESK_SET_CLOCK_MASTER,
                                       vesk::IOCTL_VESK_SET_SAMPLE_RATE_MODE,
                                       vesk::IOCTL_VESK_SET_SAMPLE_RATE,
                                       vesk::IOCTL_VESK_SET_DEVICE_SYNC_MODE,
                                       vesk::IOCTL_VESK_SET_DEVICE_PROPERTIES,
                                       vesk::IOCTL_VESK_SET_CHANNEL_PROPERTIES,
                                       vesk::IOCTL_VESK_START_STREAMING,
                                       vesk::IOCTL_VESK_STOP_STREAMING,
                                       vesk::IOCTL_VESK_SET_STREAM_BUFFER_DEPTH,
                                       vesk::IOCTL_VESK_SET_ASIO_BUFFER_DEPTH,
                                       vesk::IOCTL_VESK_SET_WDM_BUFFER_DEPTH};
    size_t count = 0;
    for (const std::string& line : Sim().TraceLines()) {
        unsigned connection = 0;
        unsigned code = 0;
        if (std::sscanf(line.c_str(), "ioctl %u 0x%x", &connection, &code) == 2)
            count += writes.count(code);
    }
    return count;
}

// The driver's state without what a restore need not bring back (identifiers, samples).
inline json Comparable() {
    json state = json::parse(Sim().DumpScenario());
    state.erase("events");
    // The driver derives the sample counts from the depth and the rate when either is set.
    for (const char* buffer : {"asioBufferDepth", "wdmBufferDepth"}) state[buffer].erase("samples");
    return state;
}

}  // namespace veskcfg_test
