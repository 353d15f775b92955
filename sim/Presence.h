// The driver's presence (loaded or not) and the device-interface notifications that tell
// registered windows about it.
#pragma once

#include <cstdint>
#include <vector>

#include "SimState.h"

namespace sim {

constexpr uint32_t kDeviceArrival = 0x8000;
constexpr uint32_t kDeviceRemoveComplete = 0x8004;

// The notifications a change of presence owes, collected under the lock and delivered after
// it was released: a window's handler may call straight back into the simulator.
struct PresenceNotice {
    uint32_t event = 0;
    std::vector<os::WindowHandle> windows;
};

// Loads or unloads the driver. Unloading makes every open connection stale and drops the
// events they registered.
PresenceNotice SetLoadedLocked(Simulator::State& state, bool loaded);

// Puts `next` in place of the whole driver state, with the presence change and the signals
// for queued records that this implies. Connections, registrations and the trace stay.
PresenceNotice ReplaceDriverLocked(Simulator::State& state, DriverState next);

// Delivers `notice` to its windows, tracing `notify EVENT` before each; the caller must not
// hold the lock.
void DeliverPresence(Simulator::State& state, const PresenceNotice& notice);

}  // namespace sim
