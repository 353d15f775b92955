// How long the console program's export and import take at the records' full capacity
// (sim/scenarios/capacity.json), against the same requests sent straight to the simulated
// driver: the figure "vs_requests" is the ratio, with a goal of at most 1.5. "requests" is
// the number of driver requests of one run.

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/VeskCfg.h"
#include "driver/IoctlCodes.h"
#include "sim/Simulator.h"

namespace {

using json = nlohmann::json;

sim::Simulator& Sim() {
    return sim::Simulator::Instance();
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

const std::string& Capacity() {
    static const std::string text = ReadText(VESK_SOURCE_DIR "/sim/scenarios/capacity.json");
    return text;
}

// The capacity scenario with every device and channel name changed, so that importing the
// capacity backup into it writes every record.
const std::string& Renamed() {
    static const std::string text = [] {
        json scenario = json::parse(Capacity());
        for (json& device : scenario["devices"]) {
            device["name"] = "renamed";
            for (const char* direction : {"inputs", "outputs"})
                for (json& channel : device[direction]) channel["channelName"] = "renamed";
        }
        return scenario.dump();
    }();
    return text;
}

void Load(const std::string& scenario) {
    Sim().Reset();
    if (!Sim().LoadScenario(scenario)) std::fprintf(stderr, "scenario refused\n");
}

int VeskCfg(const std::vector<std::string>& args, std::string* out = nullptr) {
    CDrv drv;
    vesk::CommandStreams streams;
    const int code = vesk::RunVeskCfg(args, drv, nullptr, streams);
    if (out) *out = streams.out;
    return code;
}

const std::string& BackupPath() {
    static const std::string path = [] {
        Load(Capacity());
        std::string text;
        VeskCfg({"export", "-"}, &text);
        const std::string file = "/tmp/vesk-settings-bench.json";
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }();
    return path;
}

// One request as the trace shows it, to send again.
struct Request {
    uint32_t code;
    std::vector<uint8_t> input;
    uint32_t outputSize;
};

uint32_t OutputSize(uint32_t code) {
    static const std::map<uint32_t, uint32_t> sizes = {
#define VESK_REQUEST(name, function, in, out) {vesk::name, (out)},
#include "driver/RequestList.def"
#undef VESK_REQUEST
    };
    const auto it = sizes.find(code);
    return it == sizes.end() ? 0 : it->second;
}

// The requests of one run of the program with `args`, from the trace.
std::vector<Request> RequestsOf(const std::vector<std::string>& args) {
    Sim().TraceToMemory(true);
    Sim().ClearTrace();
    VeskCfg(args);
    std::vector<Request> requests;
    for (const std::string& line : Sim().TraceLines()) {
        unsigned connection = 0;
        unsigned code = 0;
        char input[4096] = {};
        if (std::sscanf(line.c_str(), "ioctl %u 0x%x in=%4095[0-9a-f]", &connection, &code, input) <
            2)
            continue;
        Request request{code, {}, OutputSize(code)};
        for (size_t i = 0; input[i] && input[i + 1]; i += 2)
            request.input.push_back(
                static_cast<uint8_t>(std::stoul(std::string(input + i, 2), nullptr, 16)));
        requests.push_back(request);
    }
    Sim().TraceOff();
    return requests;
}

// The same requests straight to the simulated driver, on a connection of their own.
double StraightSeconds(const std::vector<Request>& requests, const std::string& scenario,
                       int repetitions) {
    std::vector<uint8_t> output(4096);
    double seconds = 0;
    for (int r = 0; r < repetitions; ++r) {
        Load(scenario);
        const auto start = std::chrono::steady_clock::now();
        void* handle = nullptr;
        Sim().Open("\\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}", &handle);
        for (const Request& request : requests)
            Sim().Control(handle, request.code, request.input.data(),
                          static_cast<uint32_t>(request.input.size()), output.data(),
                          request.outputSize);
        Sim().Close(handle);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return seconds / repetitions;
}

void Run(benchmark::State& state, const std::vector<std::string>& args,
         const std::string& scenario) {
    Load(scenario);
    const std::vector<Request> requests = RequestsOf(args);
    double seconds = 0;
    int runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Load(scenario);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(VeskCfg(args));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++runs;
    }
    state.counters["requests"] = static_cast<double>(requests.size());
    state.counters["vs_requests"] = (seconds / runs) / StraightSeconds(requests, scenario, 20);
}

void ExportAtCapacity(benchmark::State& state) {
    Run(state, {"export", "/tmp/vesk-settings-bench-out.json"}, Capacity());
}
BENCHMARK(ExportAtCapacity)->Unit(benchmark::kMillisecond);

void ImportAtCapacity(benchmark::State& state) {
    Run(state, {"import", BackupPath()}, Renamed());
}
BENCHMARK(ImportAtCapacity)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
