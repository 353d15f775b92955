// The driver's side of every request of the catalogue.
#pragma once

#include <cstdint>
#include <vector>

#include "SimState.h"

namespace sim {

// Handles one request whose connection, code and sizes have been checked and that no fault
// rule or raw reply took. `input` holds exactly the catalogue's input size; `output` comes
// zeroed at the catalogue's output size and is what the caller gets on success.
uint32_t HandleRequest(Simulator::State& state, Connection& connection, uint32_t code,
                       const uint8_t* input, std::vector<uint8_t>& output);

}  // namespace sim
