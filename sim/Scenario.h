// Scenario files: the driver state as JSON, both ways. Every member is optional; numbers are
// JSON numbers or strings in decimal or "0x" hexadecimal; uninterpreted record bytes are hex.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "SimState.h"

namespace sim {

using Json = nlohmann::ordered_json;

// The text as a JSON object; an empty or blank text is the empty object.
bool ParseJsonObject(const std::string& text, Json* object, std::string* error);

// The whole state, every member written, so that reading it back gives the same state.
Json DriverStateToJson(const DriverState& driver);

// Reads `merged`, a state's JSON with `patch` merged over it. An audio buffer whose `samples`
// the patch does not give gets the samples of its depth at the current rate.
bool DriverStateFromJson(const Json& merged, const Json& patch, DriverState* driver,
                         std::string* error);

// One device as a scenario describes it, for hot-plugging into `driver`: identifiers left out
// are chosen among those the state does not use, a missing rank puts it last.
bool DeviceFromJson(const Json& json, const DriverState& driver, SimDevice* device,
                    std::string* error);

}  // namespace sim
