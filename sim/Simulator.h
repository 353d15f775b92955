// The simulated 1394 audio driver: plausible driver state, every request of the catalogue
// with its exact code and sizes, scenarios, events, device-interface presence, faults and the
// request trace. One lock guards everything, so it can be used from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "os/Window.h"

namespace sim {

class Simulator {
  public:
    // The process's simulated driver, behind the device file of every target but the
    // production panel. Starts with the built-in demo scenario.
    static Simulator& Instance();

    Simulator();
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Replaces the whole state: the built-in demo scenario with `scenarioJson` merged over it
    // (an empty text means the demo alone, and is the quickest way back to it). Open handles stay
    // open, unless the scenario unloads the driver, which makes them stale as `unload` does; a
    // change of presence is notified like `load` and `unload`. False, with a reason in `error`,
    // when the text is not a valid scenario; the state is then unchanged.
    bool LoadScenario(const std::string& scenarioJson, std::string* error = nullptr);
    bool LoadScenarioFile(const std::string& path, std::string* error = nullptr);
    // The whole state as a scenario, every member written, so that loading it gives the same
    // state again (the `dump` command writes this). Besides the documented members it has
    // `streaming`: false between a stop-streaming and the next start-streaming request.
    std::string DumpScenario() const;

    // Replaces the output of every request with `code` by `bytes`, padded with zero bytes to
    // the record, as a scenario's `raw` member does; no bytes remove the reply. False for a
    // code outside the catalogue or more bytes than its record holds. (A cheap way to be a
    // hostile driver, for fuzzers.)
    bool SetRawReply(uint32_t code, const std::vector<uint8_t>& bytes);

    // Fails requests whatever their code: after the next `skip` requests, `count` requests fail
    // with `status` (-1: every one from then on). `clear-faults` removes the rule. For tests
    // that fail each request of an action in turn.
    void FailRequestsInTurn(uint32_t skip, uint32_t status, int64_t count);

    // Whether the driver is loaded, that is whether its device interface is present.
    bool Loaded() const;

    // One simulator command, as the Driver Simulator window and vesk_simctl send them.
    bool Execute(const std::string& command, std::string* error = nullptr);

    // VESK_SIM_SCENARIO names a scenario file to load, VESK_SIM_TRACE a trace file to write.
    // Unset variables change nothing. False, with a reason, when either cannot be used.
    bool ConfigureFromEnvironment(std::string* error = nullptr);

    // Back to the start: the demo scenario, no connections (their handles become invalid),
    // connection numbers from 1 again, no registered windows, no trace. For tests.
    void Reset();

    // The trace: in memory for tests, and/or to a file flushed line by line.
    void TraceToMemory(bool enabled);
    std::vector<std::string> TraceLines() const;
    void ClearTrace();
    bool TraceToFile(const std::string& path);
    void TraceOff();

    // The device-file entry points (os::OpenDevice and friends in the simulated build).
    uint32_t Open(const char* path, void** handle);
    uint32_t Control(void* handle, uint32_t code, const void* input, uint32_t inputSize,
                     void* output, uint32_t outputSize);
    void Close(void* handle);
    // Registers `window` for the driver's device-interface arrival and removal; null for a
    // null window.
    void* RegisterNotification(os::WindowHandle window);
    void UnregisterNotification(void* registration);

    struct State;

  private:
    std::unique_ptr<State> m_state;
};

}  // namespace sim
