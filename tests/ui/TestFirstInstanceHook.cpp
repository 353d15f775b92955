// The first-instance hook of the test program: it only counts, so that tests can tell which
// start-up path ran.
#include "TestFirstInstanceHook.h"

#include "app/FirstInstanceHook.h"

namespace uitest {
namespace {
int g_calls = 0;
void* g_lastInstance = nullptr;
}  // namespace

int FirstInstanceHookCalls() {
    return g_calls;
}
void* FirstInstanceHookInstance() {
    return g_lastInstance;
}
void ResetFirstInstanceHook() {
    g_calls = 0;
    g_lastInstance = nullptr;
}
}  // namespace uitest

void OnFirstInstanceStarting(void* instanceHandle) {
    ++uitest::g_calls;
    uitest::g_lastInstance = instanceHandle;
}
