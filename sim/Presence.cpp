#include "Presence.h"

#include <cstdio>

#include "Events.h"
#include "driver/Vesk1394Driver.h"
#include "os/Window.h"

namespace sim {

PresenceNotice SetLoadedLocked(Simulator::State& state, bool loaded) {
    PresenceNotice notice;
    if (state.driver.loaded == loaded) return notice;
    state.driver.loaded = loaded;
    if (!loaded) {
        ++state.loadEpoch;
        for (auto& entry : state.connections) entry.second.eventRegistered = false;
    }
    notice.event = loaded ? kDeviceArrival : kDeviceRemoveComplete;
    for (const Registration& registration : state.registrations)
        notice.windows.push_back(registration.window);
    return notice;
}

PresenceNotice ReplaceDriverLocked(Simulator::State& state, DriverState next) {
    const bool loaded = next.loaded;
    next.loaded = state.driver.loaded;
    const bool newRecords = !next.events.empty() && next.events != state.driver.events;
    state.driver = std::move(next);
    if (newRecords)
        for (const auto& entry : state.connections)
            if (entry.second.eventRegistered) MarkForSignal(state, entry.second);
    return SetLoadedLocked(state, loaded);
}

void DeliverPresence(Simulator::State& state, const PresenceNotice& notice) {
    char line[32];
    std::snprintf(line, sizeof line, "notify 0x%x", static_cast<unsigned>(notice.event));
    for (os::WindowHandle window : notice.windows) {
        {
            std::lock_guard<std::mutex> guard(state.lock);
            if (state.trace.Enabled()) state.trace.Write(line);
        }
        os::SendDeviceInterfaceChange(window, notice.event, DEVICE_INTERFACE_CLASS_GUID,
                                      kDevicePath);
    }
}

}  // namespace sim
