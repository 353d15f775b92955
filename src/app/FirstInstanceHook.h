// Called by the first instance right before it builds its main window (after the single-
// instance mutex was taken). The production panel links an empty implementation; the
// simulated build links the one that starts the Driver Simulator (scenario, trace, window).
#pragma once

void OnFirstInstanceStarting(void* instanceHandle);
