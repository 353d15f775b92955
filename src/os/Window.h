// Posting window messages and device-interface notifications, as far as the portable core and
// the simulated driver need them.
#pragma once

#include <cstdint>
#include <functional>

namespace os {

// A window handle as an opaque value (an HWND on Windows).
using WindowHandle = void*;

// Posts `message` to `window`; false when it could not be posted.
bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Sends WM_DEVICECHANGE with `event` (0x8000 arrival, 0x8004 removal) and a device-interface
// record of the class `classGuid` (16 bytes in the system's GUID layout) whose name is
// `devicePath` to `window`, as the system does for registered windows.
void SendDeviceInterfaceChange(WindowHandle window, uint32_t event, const uint8_t classGuid[16],
                               const char* devicePath);

#if !defined(_WIN32)
// Native builds have no windows: tests observe posts and notifications through these hooks.
using PostHook = std::function<bool(WindowHandle, uint32_t, uintptr_t, intptr_t)>;
void SetPostHook(PostHook hook);
using DeviceChangeHook = std::function<void(WindowHandle, uint32_t, const char*)>;
void SetDeviceChangeHook(DeviceChangeHook hook);
#endif

}  // namespace os
