// Loading, merging and dumping whole scenarios, and the configuration from the environment.
#include <cstdlib>

#include "DemoScenario.h"
#include "Events.h"
#include "Presence.h"
#include "Scenario.h"
#include "TextFile.h"

namespace sim {
namespace {

bool SetError(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

bool Simulator::LoadScenario(const std::string& scenarioJson, std::string* error) {
    DriverState next = DemoDriverState();
    if (!scenarioJson.empty()) {
        Json patch;
        if (!ParseJsonObject(scenarioJson, &patch, error)) return false;
        Json merged = DriverStateToJson(next);
        merged.merge_patch(patch);
        if (!DriverStateFromJson(merged, patch, &next, error)) return false;
    }
    PresenceNotice notice;
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        notice = ReplaceDriverLocked(*m_state, std::move(next));
        FlushSignals(*m_state);
    }
    DeliverPresence(*m_state, notice);
    return true;
}

bool Simulator::LoadScenarioFile(const std::string& path, std::string* error) {
    std::string text;
    if (!ReadTextFile(path, &text)) return SetError(error, "cannot read " + path);
    if (!LoadScenario(text, error)) {
        if (error) *error = path + ": " + *error;
        return false;
    }
    return true;
}

std::string Simulator::DumpScenario() const {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return DriverStateToJson(m_state->driver).dump(2) + "\n";
}

bool Simulator::ConfigureFromEnvironment(std::string* error) {
    if (const char* scenario = std::getenv("VESK_SIM_SCENARIO")) {
        if (*scenario && !LoadScenarioFile(scenario, error)) return false;
    }
    if (const char* trace = std::getenv("VESK_SIM_TRACE")) {
        if (*trace && !TraceToFile(trace))
            return SetError(error, std::string("cannot write ") + trace);
    }
    return true;
}

}  // namespace sim
