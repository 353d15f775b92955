// The driver's event queue and the signalling of registered events.
#pragma once

#include <cstdint>

#include "SimState.h"

namespace sim {

// Queues a record and marks every connection with a registered event for signalling.
void QueueEvent(Simulator::State& state, int32_t type);
// Marks one connection for signalling (an event registered while records are queued).
void MarkForSignal(Simulator::State& state, const Connection& connection);
// Sets the marked events and traces `signal N` for each. Called under the lock, after the
// line of the request or command that caused them, so the trace reads in cause order. Setting
// an event cannot call back into the simulator, and doing it under the lock means that a
// connection closed by another thread never has its (possibly reused) handle value set.
void FlushSignals(Simulator::State& state);

}  // namespace sim
