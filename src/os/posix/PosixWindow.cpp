// Native builds have no window system: posts and device-interface notifications go to the
// hooks that tests install. A hook is called under a lock, so once a hook has been replaced
// no call of the old one is still running.
#include <mutex>

#include "os/Window.h"

namespace os {

namespace {

// Two locks, so that a post hook may cause a device-interface notification and the other way
// round without the two ever waiting for each other.
struct Hooks {
    std::recursive_mutex postMutex;
    PostHook post;
    std::recursive_mutex deviceChangeMutex;
    DeviceChangeHook deviceChange;
};

Hooks& TheHooks() {
    static Hooks* hooks = new Hooks;
    return *hooks;
}

}  // namespace

bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Hooks& hooks = TheHooks();
    std::lock_guard<std::recursive_mutex> guard(hooks.postMutex);
    if (!hooks.post) return false;
    PostHook hook = hooks.post;
    return hook(window, message, wParam, lParam);
}

void SendDeviceInterfaceChange(WindowHandle window, uint32_t event, const uint8_t* /*classGuid*/,
                               const char* devicePath) {
    Hooks& hooks = TheHooks();
    std::lock_guard<std::recursive_mutex> guard(hooks.deviceChangeMutex);
    if (!hooks.deviceChange) return;
    DeviceChangeHook hook = hooks.deviceChange;
    hook(window, event, devicePath ? devicePath : "");
}

void SetPostHook(PostHook hook) {
    Hooks& hooks = TheHooks();
    std::lock_guard<std::recursive_mutex> guard(hooks.postMutex);
    hooks.post = std::move(hook);
}

void SetDeviceChangeHook(DeviceChangeHook hook) {
    Hooks& hooks = TheHooks();
    std::lock_guard<std::recursive_mutex> guard(hooks.deviceChangeMutex);
    hooks.deviceChange = std::move(hook);
}

}  // namespace os
