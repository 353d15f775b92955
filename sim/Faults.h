// Fault rules and raw replies: the ways a test makes the driver misbehave.
#pragma once

#include <cstdint>
#include <vector>

#include "SimState.h"

namespace sim {

// Counts a request of `code` against the fault rules. Every rule of that code (or of any code)
// that is still skipping counts the request; the first rule that has done its skipping and has
// requests left fails it. Spent rules are removed. True, with the rule's status, when the request
// fails.
bool TakeFault(DriverState& driver, uint32_t code, uint32_t* status);

// The fixed reply of `code`, padded with zeros to `outputSize`; false when there is none.
bool RawReply(const DriverState& driver, uint32_t code, uint32_t outputSize,
              std::vector<uint8_t>* output);

}  // namespace sim
