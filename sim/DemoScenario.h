// The built-in demo scenario: what the simulated driver holds before any scenario is loaded,
// and what fills every member a scenario leaves out.
#pragma once

#include "SimState.h"

namespace sim {

DriverState DemoDriverState();

}  // namespace sim
