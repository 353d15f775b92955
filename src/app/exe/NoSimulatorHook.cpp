// The production panel starts no simulator.
#include "app/FirstInstanceHook.h"

void OnFirstInstanceStarting(void*) {}
