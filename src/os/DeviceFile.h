// The device file: open a path, send control requests, close. The executable chooses the
// implementation at link time: the production panel links the kernel32 one, every other
// target the simulated driver's.
#pragma once

#include <cstdint>

#include "os/Window.h"

namespace os {

using DeviceHandle = void*;

// Opens `path` for synchronous control requests. On success stores a non-null handle and
// returns 0; otherwise returns the system's error code and stores null.
uint32_t OpenDevice(const char* path, DeviceHandle* handle);

// One device control request. Returns 0 on success, else the system's or the driver's code.
uint32_t ControlDevice(DeviceHandle handle, uint32_t code, const void* input, uint32_t inputSize,
                       void* output, uint32_t outputSize);

void CloseDevice(DeviceHandle handle);

// Registers `window` for arrival and removal notifications of the device-interface class
// `classGuid` (16 bytes in the system's GUID layout). Returns the registration, or null.
void* RegisterDeviceInterfaceNotification(WindowHandle window, const uint8_t classGuid[16]);

}  // namespace os
