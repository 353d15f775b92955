// How long the device model takes to reload its arrays through the simulated driver at the
// records' full capacity: 64 devices, 256 channels per direction.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "model/Drv.h"
#include "sim/Simulator.h"

namespace {

constexpr int kDevices = 64;
constexpr int kChannelsPerDevice = 4;  // 64 x 4 = 256, the channel list's capacity

std::string FullScenario() {
    std::string devices;
    char text[256];
    for (int d = 0; d < kDevices; ++d) {
        std::string inputs, outputs;
        for (int c = 0; c < kChannelsPerDevice; ++c) {
            const int id = d * kChannelsPerDevice + c;
            std::snprintf(text, sizeof text,
                          "%s{\"id\": %d, \"hardwareName\": \"In %d\", \"channelName\": \"In %d\"}",
                          c ? "," : "", 0x20000 + id, c + 1, id);
            inputs += text;
            std::snprintf(
                text, sizeof text,
                "%s{\"id\": %d, \"hardwareName\": \"Out %d\", \"channelName\": \"Out %d\"}",
                c ? "," : "", 0x30000 + id, c + 1, id);
            outputs += text;
        }
        std::snprintf(
            text, sizeof text,
            "%s{\"id\": %d, \"rank\": %d, \"name\": \"Device %d\", \"serial\": \"SN-%d\", ",
            d ? "," : "", 0x1000 + d, d, d, d);
        devices += text;
        devices += "\"inputs\": [" + inputs + "], \"outputs\": [" + outputs + "]}";
    }
    return "{\"loaded\": true, \"faults\": [], \"devices\": [" + devices + "]}";
}

// Loads the full scenario and opens the model once for every benchmark of the process.
CDrv& OpenModel() {
    // The simulator first, so that it is there when the model closes its connection at exit.
    sim::Simulator& simulator = sim::Simulator::Instance();
    static CDrv model;
    if (!model.IsOpen()) {
        std::string error;
        if (!simulator.LoadScenario(FullScenario(), &error))
            std::fprintf(stderr, "scenario refused: %s\n", error.c_str());
        if (model.Open(DEVICE_INTERFACE_NAME) != 0) std::fprintf(stderr, "open failed\n");
    }
    return model;
}

void LoadDevices(benchmark::State& state) {
    CDrv& model = OpenModel();
    for (auto _ : state) benchmark::DoNotOptimize(model.LoadDevices());
    state.counters["records"] = model.m_devices.GetSize();
    state.SetItemsProcessed(state.iterations() * model.m_devices.GetSize());
}
BENCHMARK(LoadDevices);

void LoadSyncModes(benchmark::State& state) {
    CDrv& model = OpenModel();
    for (auto _ : state) benchmark::DoNotOptimize(model.LoadSyncModes());
    state.counters["records"] = model.m_syncModes.GetSize();
    state.SetItemsProcessed(state.iterations() * model.m_syncModes.GetSize());
}
BENCHMARK(LoadSyncModes);

void LoadChannels(benchmark::State& state) {
    CDrv& model = OpenModel();
    CChannelArray& channels = state.range(0) == 0 ? model.m_inputChannels : model.m_outputChannels;
    for (auto _ : state)
        benchmark::DoNotOptimize(model.LoadChannels(channels, static_cast<int>(state.range(0))));
    state.counters["records"] = channels.GetSize();
    state.SetItemsProcessed(state.iterations() * channels.GetSize());
}
BENCHMARK(LoadChannels)->Arg(0)->Arg(1)->ArgName("direction");

// The trace costs a formatted line per request; this is what a traced session pays.
void LoadDevicesTraced(benchmark::State& state) {
    CDrv& model = OpenModel();
    sim::Simulator& simulator = sim::Simulator::Instance();
    simulator.TraceToMemory(true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.LoadDevices());
        state.PauseTiming();
        simulator.ClearTrace();
        state.ResumeTiming();
    }
    simulator.TraceToMemory(false);
    state.SetItemsProcessed(state.iterations() * model.m_devices.GetSize());
}
BENCHMARK(LoadDevicesTraced);

}  // namespace

BENCHMARK_MAIN();
